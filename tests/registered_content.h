// What registering the library leaves in the registry, subtree by subtree, as
// the lines of tests/registry_dump.h: the one table that the registry script's
// tests (in-memory registry) and the regsvr32 tests (Wine) both compare with.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"

namespace quillet::test {

constexpr const char* kVeltranoClsid = "{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A20}";
constexpr const char* kVeltranoLibid = "{6E41C2CA-8A0B-4F35-9C62-71D0E84B3A20}";
constexpr const char* kOptionsExtension = "{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A21}";
constexpr const char* kHelperObjectsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr const char* kExtensionsKey = "Software\\Microsoft\\Internet Explorer\\Extensions";
constexpr const char* kQuilletSettingsKey = "Software\\Kestrowe\\Quillet";
constexpr const char* kInitialSearchMask = "http://www.bing.com/search?q=%s";

struct RegistrySubtree {
  RegKey root;
  std::string path;
  std::vector<std::string> lines;
};

// `modulePath` is the library's path as InprocServer32 holds it.
inline std::vector<RegistrySubtree> RegisteredContent(const std::string& modulePath) {
  const std::string clsid = kVeltranoClsid;
  return {
      {ClassesRoot(), "Kestrowe.Quillet.1", {"|=S:Veltrano", "CLSID", "CLSID|=S:" + clsid}},
      {ClassesRoot(),
       "Kestrowe.Quillet",
       {"|=S:Veltrano", "CLSID", "CLSID|=S:" + clsid, "CurVer", "CurVer|=S:Kestrowe.Quillet.1"}},
      {ClassesRoot(),
       "CLSID\\" + clsid,
       {"|=S:Veltrano", "ProgID", "ProgID|=S:Kestrowe.Quillet.1", "VersionIndependentProgID",
        "VersionIndependentProgID|=S:Kestrowe.Quillet", "Programmable", "InprocServer32",
        "InprocServer32|=S:" + modulePath, "InprocServer32|ThreadingModel=S:Apartment", "TypeLib",
        "TypeLib|=S:" + std::string(kVeltranoLibid)}},
      {CurrentUser(), kQuilletSettingsKey, {"|SearchMask=S:" + std::string(kInitialSearchMask)}},
      {LocalMachine(), std::string(kHelperObjectsKey) + "\\" + clsid, {}},
      {LocalMachine(),
       std::string(kExtensionsKey) + "\\" + kOptionsExtension,
       {"|Clsid=S:{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}", "|MenuCustomize=S:tools",
        "|MenuText=S:Veltrano Options...",
        "|MenuStatusBar=S:Enables you to change settings for Veltrano enhancements.",
        "|ClsidExtension=S:" + clsid}},
  };
}

struct RegistryKeyName {
  RegKey root;
  const char* path;
};

// The parents above that the script marks NoRemove: unregistering keeps them.
inline std::vector<RegistryKeyName> SharedParents() {
  return {{ClassesRoot(), "CLSID"},
          {CurrentUser(), "Software\\Kestrowe"},
          {LocalMachine(), kHelperObjectsKey},
          {LocalMachine(), kExtensionsKey}};
}

}  // namespace quillet::test
