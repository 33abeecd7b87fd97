// The registry script language: tokens, the grammar and the two passes.
//
// Choices where the language leaves one:
// - an unquoted token longer than 4095 bytes and a "Val" name longer than
//   259 bytes are script errors (DISP_E_EXCEPTION), never cut short;
// - a "D" value that is not a decimal number from 0 to 4294967295 is a script
//   error (DISP_E_EXCEPTION): storing some other number would report success
//   for a value that was never written;
// - a block after a "Val" or a "Delete" entry is a script error in both
//   passes, so that the recovery stops where registration did;
// - a key name too long to remember (over 259 bytes) is never deleted in the
//   unregister pass: a shortened name could name another key;
// - blocks nest at most 512 deep, as deep as the platform's registry goes.
#include <cstring>

#include "script/ansi_text.h"
#include "script/script_internal.h"
#include "script/script_platform.h"

namespace quillet {
namespace {

struct RootKeyName {
  const char* name;
  uint32_t handle;
};

constexpr RootKeyName kRootKeys[] = {
    {"HKCR", 0x80000000u},
    {"HKCU", 0x80000001u},
    {"HKLM", 0x80000002u},
    {"HKU", 0x80000003u},
    {"HKPD", 0x80000004u},
    {"HKDD", 0x80000006u},
    {"HKCC", 0x80000005u},
    {"HKEY_CLASSES_ROOT", 0x80000000u},
    {"HKEY_CURRENT_USER", 0x80000001u},
    {"HKEY_LOCAL_MACHINE", 0x80000002u},
    {"HKEY_USERS", 0x80000003u},
    {"HKEY_PERFORMANCE_DATA", 0x80000004u},
    {"HKEY_DYN_DATA", 0x80000006u},
    {"HKEY_CURRENT_CONFIG", 0x80000005u},
};
static_assert(sizeof kRootKeys / sizeof kRootKeys[0] == 14, "fourteen root key names");

struct ScriptCursor {
  ScriptCursor(const char* text, RegistryApi& reg, const AnsiCodePage& page)
      : position(text), registry(reg), codePage(page) {}
  const char* position;
  RegistryApi& registry;
  const AnsiCodePage& codePage;
  char token[kTokenSize];
  char valueName[kValueNameSize];
};

bool IsBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

Status ReadToken(ScriptCursor& cursor) {
  const AnsiCodePage& page = cursor.codePage;
  const char* p = SkipBlanks(cursor.position);
  cursor.position = p;
  cursor.token[0] = '\0';
  if (*p == '\0') return kDISP_E_EXCEPTION;
  size_t length = 0;
  if (*p == '\'') {
    ++p;
    for (;;) {
      if (*p == '\0') return kDISP_E_EXCEPTION;
      if (*p == '\'') {
        if (p[1] != '\'') {
          ++p;
          break;
        }
        ++p;  // a doubled quote stands for one
      }
      const char* next = page.Next(p);
      size_t size = static_cast<size_t>(next - p);
      if (length + size > kMaxQuotedToken) return kDISP_E_EXCEPTION;
      std::memcpy(cursor.token + length, p, size);
      length += size;
      p = next;
    }
  } else {
    while (*p != '\0' && !IsBlank(*p)) {
      const char* next = page.Next(p);
      size_t size = static_cast<size_t>(next - p);
      if (length + size > kTokenSize - 1) return kDISP_E_EXCEPTION;
      std::memcpy(cursor.token + length, p, size);
      length += size;
      p = next;
    }
  }
  cursor.token[length] = '\0';
  cursor.position = p;
  return kS_OK;
}

// The token is `word`, letters in either case.
bool MatchesKeyword(const ScriptCursor& cursor, const char* word) {
  return cursor.codePage.CompareNoCase(cursor.token, word) == 0;
}
bool TokenEquals(const ScriptCursor& cursor, const char* text) { return std::strcmp(cursor.token, text) == 0; }
bool FirstByteIs(const ScriptCursor& cursor, char c) { return cursor.token[0] == c; }
bool HasBackslash(const ScriptCursor& cursor) { return ContainsCharacter(cursor.token, '\\', cursor.codePage); }
bool IsProtected(const ScriptCursor& cursor) {
  return MatchesKeyword(cursor, "CLSID") || MatchesKeyword(cursor, "TYPELIB");
}

// Copies the token into a buffer of `size` bytes; false when it does not fit.
bool CopyToken(const ScriptCursor& cursor, char* out, size_t size) {
  size_t length = std::strlen(cursor.token);
  if (length >= size) return false;
  std::memcpy(out, cursor.token, length + 1);
  return true;
}

Status SkipValueClause(ScriptCursor& cursor) {
  if (!FirstByteIs(cursor, '=')) return kS_OK;
  Status hr = ReadToken(cursor);  // the type letter, unchecked
  if (hr == kS_OK) hr = ReadToken(cursor);
  if (hr == kS_OK) hr = ReadToken(cursor);
  return hr;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// The token in hand is the "="; `valueName` null sets the default value.
Status WriteValue(ScriptCursor& cursor, RegKey key, const char* valueName) {
  Status hr = ReadToken(cursor);
  if (hr != kS_OK) return hr;
  enum { Text, Number, Binary } kind;
  if (MatchesKeyword(cursor, "S")) {
    kind = Text;
  } else if (MatchesKeyword(cursor, "D")) {
    kind = Number;
  } else if (MatchesKeyword(cursor, "B")) {
    kind = Binary;
  } else {
    return kDISP_E_EXCEPTION;
  }
  hr = ReadToken(cursor);
  if (hr != kS_OK) return hr;
  auto* data = reinterpret_cast<unsigned char*>(cursor.token);
  size_t length = std::strlen(cursor.token);
  switch (kind) {
    case Text:
      cursor.registry.SetValue(key, valueName, reg::kSz, data, static_cast<uint32_t>(length + 1));
      break;
    case Number: {
      uint32_t number = 0;
      if (!ParseDwordText(cursor.token, &number)) return kDISP_E_EXCEPTION;
      unsigned char bytes[4] = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                                static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
      cursor.registry.SetValue(key, valueName, reg::kDword, bytes, sizeof bytes);
      break;
    }
    case Binary:
      if (length % 2 != 0) return kE_FAIL;
      // In place: byte i comes from characters 2i and 2i+1, never behind it.
      for (size_t i = 0; i < length / 2; ++i) {
        data[i] = static_cast<unsigned char>(HexDigit(cursor.token[2 * i]) << 4 | HexDigit(cursor.token[2 * i + 1]));
      }
      cursor.registry.SetValue(key, valueName, reg::kBinary, data, static_cast<uint32_t>(length / 2));
      break;
  }
  return ReadToken(cursor);
}

// Reads the name after "Val" and the "=" that must follow it.
Status ReadValueName(ScriptCursor& cursor) {
  Status hr = ReadToken(cursor);
  if (hr != kS_OK) return hr;
  if (!CopyToken(cursor, cursor.valueName, sizeof cursor.valueName)) return kDISP_E_EXCEPTION;
  hr = ReadToken(cursor);
  if (hr != kS_OK) return hr;
  return FirstByteIs(cursor, '=') ? kS_OK : kDISP_E_EXCEPTION;
}

Status ProcessBlock(ScriptCursor& cursor, RegKey parentKey, bool doRegister, bool skipping, int depth);

Status RegisterBlock(ScriptCursor& cursor, RegKey parentKey, int depth) {
  RegistryApi& registry = cursor.registry;
  KeyHandle current(registry);
  Status hr = ReadToken(cursor);
  if (hr != kS_OK) return hr;
  while (!FirstByteIs(cursor, '}')) {
    bool hasKey = true;  // false for an entry after which no block may follow
    bool forceRemove = MatchesKeyword(cursor, "ForceRemove");
    if (forceRemove || MatchesKeyword(cursor, "Delete")) {
      hr = ReadToken(cursor);
      if (hr != kS_OK) return hr;
      if (HasBackslash(cursor)) return kDISP_E_EXCEPTION;
      if (!IsProtected(cursor)) DeleteKeyTree(registry, parentKey, cursor.token);
      if (!forceRemove) {
        hasKey = false;
        hr = ReadToken(cursor);
        if (hr == kS_OK) hr = SkipValueClause(cursor);
        if (hr != kS_OK) return hr;
      }
    }
    if (hasKey && MatchesKeyword(cursor, "NoRemove")) {
      hr = ReadToken(cursor);  // the delete permission matters only when unregistering
      if (hr != kS_OK) return hr;
    }
    if (hasKey && MatchesKeyword(cursor, "Val")) {
      hasKey = false;
      hr = ReadValueName(cursor);
      if (hr == kS_OK) hr = WriteValue(cursor, parentKey, cursor.valueName);
      if (hr != kS_OK) return hr;
    } else if (hasKey) {
      if (HasBackslash(cursor)) return kDISP_E_EXCEPTION;
      RegKey key = nullptr;
      bool created = false;
      if (registry.OpenKey(parentKey, cursor.token, reg::kAllAccess, &key) != reg::kSuccess &&
          registry.OpenKey(parentKey, cursor.token, reg::kRead, &key) != reg::kSuccess) {
        if (registry.CreateKey(parentKey, cursor.token, reg::kAllAccess, &key) != reg::kSuccess) {
          return kDISP_E_EXCEPTION;
        }
        created = true;
      }
      RegStatus closed = current.Close();
      *current.CloseAndReceive() = key;
      if (created && closed != reg::kSuccess) return kDISP_E_EXCEPTION;
      hr = ReadToken(cursor);
      if (hr == kS_OK && FirstByteIs(cursor, '=')) hr = WriteValue(cursor, current.get(), nullptr);
      if (hr != kS_OK) return hr;
    }
    if (TokenEquals(cursor, "{")) {
      if (!hasKey) return kDISP_E_EXCEPTION;
      hr = ProcessBlock(cursor, current.get(), true, false, depth + 1);
      if (hr == kS_OK) hr = ReadToken(cursor);
      if (hr != kS_OK) return hr;
    }
  }
  return kS_OK;
}

// Closes the key (a failure is a script error) and deletes it by name when
// the block still allows deletion.
Status RemoveKey(ScriptCursor& cursor, KeyHandle& key, RegKey parentKey, bool mayDelete, const char* name) {
  if (key.Close() != reg::kSuccess) return kDISP_E_EXCEPTION;
  if (mayDelete && name != nullptr) cursor.registry.DeleteKey(parentKey, name);
  return kS_OK;
}

Status UnregisterBlock(ScriptCursor& cursor, RegKey parentKey, bool skipping, int depth) {
  RegistryApi& registry = cursor.registry;
  KeyHandle current(registry);
  bool mayDelete = true;
  const bool startSkipping = skipping;
  char keyName[kKeyNameSize];
  Status hr = ReadToken(cursor);
  if (hr != kS_OK) return hr;
  while (!FirstByteIs(cursor, '}')) {
    bool isDelete = MatchesKeyword(cursor, "Delete");
    if (isDelete || MatchesKeyword(cursor, "ForceRemove")) {
      hr = ReadToken(cursor);
      if (hr != kS_OK) return hr;
    }
    if (MatchesKeyword(cursor, "NoRemove")) {
      mayDelete = false;
      hr = ReadToken(cursor);
      if (hr != kS_OK) return hr;
    }
    if (MatchesKeyword(cursor, "Val")) {
      hr = ReadValueName(cursor);
      if (hr != kS_OK) return hr;
      if (!skipping) registry.DeleteValue(parentKey, cursor.valueName);
      hr = SkipValueClause(cursor);
      if (hr != kS_OK) return hr;
      if (TokenEquals(cursor, "{")) return kDISP_E_EXCEPTION;
      continue;
    }
    if (HasBackslash(cursor)) return kDISP_E_EXCEPTION;
    if (!skipping) {
      RegKey key = nullptr;
      if (registry.OpenKey(parentKey, cursor.token, reg::kRead, &key) == reg::kSuccess) {
        *current.CloseAndReceive() = key;
      } else {
        skipping = true;
      }
    }
    const char* name = CopyToken(cursor, keyName, sizeof keyName) ? keyName : nullptr;
    if (!skipping && !KeyHasSubkeys(registry, current.get()) && !KeyHasNamedValues(registry, current.get())) {
      hr = RemoveKey(cursor, current, parentKey, mayDelete, name);
      if (hr == kS_OK) hr = ReadToken(cursor);
      if (hr == kS_OK) hr = SkipValueClause(cursor);
      if (hr != kS_OK) return hr;
      if (TokenEquals(cursor, "{")) {
        if (isDelete) return kDISP_E_EXCEPTION;
        hr = ProcessBlock(cursor, nullptr, false, true, depth + 1);
        if (hr == kS_OK) hr = ReadToken(cursor);
        if (hr != kS_OK) return hr;
      }
      continue;
    }
    hr = ReadToken(cursor);
    if (hr == kS_OK) hr = SkipValueClause(cursor);
    if (hr != kS_OK) return hr;
    if (TokenEquals(cursor, "{")) {
      if (isDelete) return kDISP_E_EXCEPTION;
      hr = ProcessBlock(cursor, current.get(), false, skipping, depth + 1);
      if (hr != kS_OK) return hr;
      if (skipping) {
        skipping = startSkipping;
        hr = ReadToken(cursor);
        if (hr == kS_OK) hr = SkipValueClause(cursor);
      } else if (!KeyHasSubkeys(registry, current.get())) {
        hr = RemoveKey(cursor, current, parentKey, mayDelete, name);
        if (hr == kS_OK) hr = ReadToken(cursor);
        if (hr == kS_OK) hr = SkipValueClause(cursor);
      } else {
        hr = ReadToken(cursor);
      }
      if (hr != kS_OK) return hr;
      continue;
    }
    if (skipping) {
      skipping = startSkipping;
    } else if (!KeyHasSubkeys(registry, current.get())) {
      hr = RemoveKey(cursor, current, parentKey, mayDelete, name);
      if (hr != kS_OK) return hr;
    }
  }
  return kS_OK;
}

// Runs the entries of one block, from the token after its "{" through its "}".
Status ProcessBlock(ScriptCursor& cursor, RegKey parentKey, bool doRegister, bool skipping, int depth) {
  if (depth > kMaxBlockDepth) return kDISP_E_EXCEPTION;
  return doRegister ? RegisterBlock(cursor, parentKey, depth) : UnregisterBlock(cursor, parentKey, skipping, depth);
}

}  // namespace

Status RunScript(const char* text, bool doRegister, const SubstitutionTable& table, RegistryApi& registry) {
  return RunScript(text, doRegister, table, registry, SystemCodePage());
}

Status RunScript(const char* text, bool doRegister, const SubstitutionTable& table, RegistryApi& registry,
                 const AnsiCodePage& codePage) {
  if (text == nullptr) return kE_POINTER;
  ExpandedText expanded;
  Status hr = ExpandVariables(text, table, codePage, &expanded);
  if (hr != kS_OK) return hr;
  ScriptCursor cursor(expanded.text(), registry, codePage);
  while (*cursor.position != '\0') {
    hr = ReadToken(cursor);
    if (hr != kS_OK) return hr;
    const RootKeyName* root = nullptr;
    for (const RootKeyName& row : kRootKeys) {
      if (MatchesKeyword(cursor, row.name)) {
        root = &row;
        break;
      }
    }
    if (root == nullptr) return kDISP_E_EXCEPTION;
    hr = ReadToken(cursor);
    if (hr != kS_OK) return hr;
    if (!FirstByteIs(cursor, '{')) return kDISP_E_EXCEPTION;
    RegKey rootKey = RootKey(root->handle);
    if (doRegister) {
      const char* blockStart = cursor.position;
      hr = ProcessBlock(cursor, rootKey, true, false, 1);
      if (hr != kS_OK) {
        cursor.position = blockStart;
        ProcessBlock(cursor, rootKey, false, false, 1);  // the recovery; its outcome is dropped
        return hr;
      }
    } else {
      hr = ProcessBlock(cursor, rootKey, false, false, 1);
      if (hr != kS_OK) return hr;
    }
    cursor.position = SkipBlanks(cursor.position);
  }
  return kS_OK;
}

}  // namespace quillet
