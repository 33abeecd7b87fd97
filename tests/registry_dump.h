// Registry content as text, for tests on the in-memory registry and on the
// real one alike: a subtree is read back as sorted lines, so that a failing
// comparison prints what was there.
//   "A\B"          a key, by its path below the subtree's key
//   "A|Name=S:x"   a value: S text (stored with its one NUL), D number, B hex
//                  bytes, T<type> any other type or text of another shape
//   "|Name=S:x"    a value of the subtree's key itself; an empty name is the default
// Also the one way tests build such content and delete a tree again.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace quillet::test {

inline std::string HexBytes(const std::vector<unsigned char>& bytes) {
  std::string text;
  char pair[3];
  for (unsigned char b : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", b);
    text += pair;
  }
  return text;
}

inline std::string FormatValue(uint32_t type, const std::vector<unsigned char>& bytes) {
  if (type == reg::kSz && !bytes.empty() && bytes.back() == 0 &&
      std::count(bytes.begin(), bytes.end(), 0) == 1) {
    return "S:" + std::string(bytes.begin(), bytes.end() - 1);
  }
  if (type == reg::kDword && bytes.size() == 4) {
    unsigned long number = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<unsigned long>(bytes[3]) << 24;
    return "D:" + std::to_string(number);
  }
  if (type == reg::kBinary) return "B:" + HexBytes(bytes);
  return "T" + std::to_string(type) + ":" + HexBytes(bytes);
}

inline void DumpKey(RegistryApi& registry, RegKey key, const std::string& path, std::vector<std::string>* lines) {
  std::vector<char> name(16384);
  for (uint32_t i = 0;; ++i) {
    uint32_t size = static_cast<uint32_t>(name.size());
    if (registry.EnumValue(key, i, name.data(), &size) != reg::kSuccess) break;
    uint32_t type = 0, dataSize = 0;
    registry.QueryValue(key, name.data(), &type, nullptr, &dataSize);
    std::vector<unsigned char> data(dataSize + 1);
    registry.QueryValue(key, name.data(), &type, data.data(), &dataSize);
    data.resize(dataSize);
    lines->push_back(path + "|" + name.data() + "=" + FormatValue(type, data));
  }
  for (uint32_t i = 0;; ++i) {
    uint32_t size = static_cast<uint32_t>(name.size());
    if (registry.EnumKey(key, i, name.data(), &size) != reg::kSuccess) break;
    std::string child = path.empty() ? std::string(name.data()) : path + "\\" + name.data();
    lines->push_back(child);
    KeyHandle sub(registry);
    if (registry.OpenKey(key, name.data(), reg::kRead, sub.CloseAndReceive()) == reg::kSuccess) {
      DumpKey(registry, sub.get(), child, lines);
    }
  }
}

// The subtree below root\path, one line each, sorted; "<absent>" when the key is missing.
inline std::string Dump(RegistryApi& registry, RegKey root, const std::string& path) {
  KeyHandle key(registry);
  if (registry.OpenKey(root, path.c_str(), reg::kRead, key.CloseAndReceive()) != reg::kSuccess) return "<absent>";
  std::vector<std::string> lines;
  DumpKey(registry, key.get(), "", &lines);
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

inline std::string Lines(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

inline std::vector<unsigned char> ParseHex(const std::string& hex) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// Creates the keys and values that `lines` describe below root\path.
inline void Build(RegistryApi& registry, RegKey root, const std::string& path, const std::vector<std::string>& lines) {
  KeyHandle base(registry);
  ASSERT_EQ(reg::kSuccess, registry.CreateKey(root, path.c_str(), reg::kAllAccess, base.CloseAndReceive()));
  for (const std::string& line : lines) {
    size_t bar = line.find('|');
    std::string keyPath = line.substr(0, bar);
    KeyHandle key(registry);
    if (keyPath.empty()) {
      ASSERT_EQ(reg::kSuccess, registry.OpenKey(root, path.c_str(), reg::kAllAccess, key.CloseAndReceive()));
    } else {
      ASSERT_EQ(reg::kSuccess, registry.CreateKey(base.get(), keyPath.c_str(), reg::kAllAccess, key.CloseAndReceive()))
          << line;
    }
    if (bar == std::string::npos) continue;
    size_t equals = line.find('=', bar);
    std::string name = line.substr(bar + 1, equals - bar - 1);
    char kind = line[equals + 1];
    std::string data = line.substr(equals + 3);
    std::vector<unsigned char> bytes;
    uint32_t type = reg::kSz;
    if (kind == 'S') {
      bytes.assign(data.begin(), data.end());
      bytes.push_back(0);
    } else if (kind == 'D') {
      unsigned long number = std::stoul(data);
      bytes = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
               static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
      type = reg::kDword;
    } else {
      bytes = ParseHex(data);
      type = reg::kBinary;
    }
    ASSERT_EQ(reg::kSuccess, registry.SetValue(key.get(), name.c_str(), type, bytes.data(),
                                               static_cast<uint32_t>(bytes.size())))
        << line;
  }
}

inline bool KeyExists(RegistryApi& registry, RegKey root, const std::string& path) {
  KeyHandle key(registry);
  return registry.OpenKey(root, path.c_str(), reg::kRead, key.CloseAndReceive()) == reg::kSuccess;
}

// Deletes root\path with everything beneath it; true when it is gone
// afterwards (also when it was never there).
inline bool DeleteTree(RegistryApi& registry, RegKey root, const std::string& path) {
  {
    KeyHandle key(registry);
    if (registry.OpenKey(root, path.c_str(), reg::kRead | reg::kWrite, key.CloseAndReceive()) != reg::kSuccess) {
      return !KeyExists(registry, root, path);
    }
    char name[256];
    for (;;) {
      uint32_t size = sizeof name;
      if (registry.EnumKey(key.get(), 0, name, &size) != reg::kSuccess) break;
      if (!DeleteTree(registry, key.get(), name)) return false;
    }
  }
  registry.DeleteKey(root, path.c_str());
  return !KeyExists(registry, root, path);
}

}  // namespace quillet::test
