// What the rules make of text typed into the address bar, one table for the
// edit-box test and the end-to-end test: the text typed, what the bar holds
// after Enter, and where the browser stand-in then goes. The searches assume
// kAddressBarCaseMask, the mask registration stores, and every switch on.
#pragma once

namespace quillet::test {

constexpr char kAddressBarCaseMask[] = "http://www.bing.com/search?q=%s";

struct AddressBarCase {
  const char* typed;
  const char* bar;
  const char* location;
};

constexpr AddressBarCase kAddressBarCases[] = {
    {"cats and dogs", "http://www.bing.com/search?q=cats and dogs", "http://www.bing.com/search?q=cats and dogs"},
    {"100% cotton", "http://www.bing.com/search?q=100% cotton", "http://www.bing.com/search?q=100% cotton"},
    {"ww.example.com", "www.example.com", "http://www.example.com/"},
    {"wwww.example.com", "www.example.com", "http://www.example.com/"},
    {"example.com", "example.com", "http://example.com/"},
    // The keys of "www.example.com" and "www.abc.def" in the Russian layout.
    {"\xF6\xF6\xF6\xFE\xF3\xF7\xF4\xFC\xE7\xE4\xF3\xFE\xF1\xF9\xFC", "www.example.com", "http://www.example.com/"},
    {"\xF6\xF6\xF6\xFE\xF4\xE8\xF1\xFE\xE2\xF3\xE0", "www.abc.def", "http://www.abc.def/"},
};

}  // namespace quillet::test
