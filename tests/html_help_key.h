// Tests that change the HTML Help control's registered location put back what
// was there before (Wine registers its own hhctrl.ocx there).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"
#include "ui/help_location.h"

namespace quillet::test {

class HtmlHelpKeyGuard {
 public:
  HtmlHelpKeyGuard() {
    RegistryApi& registry = ActiveRegistry();
    KeyHandle key(registry);
    if (registry.OpenKey(ClassesRoot(), kHtmlHelpLocationKey, reg::kRead, key.CloseAndReceive()) != reg::kSuccess)
      return;
    existed_ = true;
    unsigned char data[2048];
    uint32_t size = sizeof data;
    if (registry.QueryValue(key.get(), nullptr, &type_, data, &size) == reg::kSuccess) {
      hadValue_ = true;
      bytes_.assign(data, data + size);
    }
  }
  ~HtmlHelpKeyGuard() {
    RegistryApi& registry = ActiveRegistry();
    if (!existed_) {
      registry.DeleteKey(ClassesRoot(), kHtmlHelpLocationKey);
      return;
    }
    KeyHandle key(registry);
    if (registry.OpenKey(ClassesRoot(), kHtmlHelpLocationKey, reg::kAllAccess, key.CloseAndReceive()) != reg::kSuccess)
      return;
    if (hadValue_) {
      registry.SetValue(key.get(), nullptr, type_, bytes_.data(), static_cast<uint32_t>(bytes_.size()));
    } else {
      registry.DeleteValue(key.get(), nullptr);
    }
  }
  HtmlHelpKeyGuard(const HtmlHelpKeyGuard&) = delete;
  HtmlHelpKeyGuard& operator=(const HtmlHelpKeyGuard&) = delete;

  // Registers `bytes` of `type` as the location.
  static void Register(uint32_t type, const std::string& bytes) {
    RegistryApi& registry = ActiveRegistry();
    KeyHandle key(registry);
    ASSERT_EQ(reg::kSuccess,
              registry.CreateKey(ClassesRoot(), kHtmlHelpLocationKey, reg::kAllAccess, key.CloseAndReceive()));
    ASSERT_EQ(reg::kSuccess, registry.SetValue(key.get(), nullptr, type,
                                               reinterpret_cast<const unsigned char*>(bytes.data()),
                                               static_cast<uint32_t>(bytes.size())));
  }
  static void RegisterPath(const std::string& path) { Register(reg::kSz, path + '\0'); }
  // Leaves the key in place without its default value.
  static void Unregister() {
    RegistryApi& registry = ActiveRegistry();
    KeyHandle key(registry);
    if (registry.OpenKey(ClassesRoot(), kHtmlHelpLocationKey, reg::kAllAccess, key.CloseAndReceive()) ==
        reg::kSuccess) {
      registry.DeleteValue(key.get(), nullptr);
    }
  }

 private:
  bool existed_ = false;
  bool hadValue_ = false;
  uint32_t type_ = 0;
  std::vector<unsigned char> bytes_;
};

}  // namespace quillet::test
