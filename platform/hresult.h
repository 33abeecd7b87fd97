// COM status codes under their platform names, for code built in both builds.
#pragma once

#include <cstdint>

namespace quillet {

using Status = int32_t;  // an HRESULT

constexpr Status kS_OK = 0;
constexpr Status kS_FALSE = 1;
constexpr Status kE_NOINTERFACE = static_cast<Status>(0x80004002u);
constexpr Status kE_POINTER = static_cast<Status>(0x80004003u);
constexpr Status kE_FAIL = static_cast<Status>(0x80004005u);
constexpr Status kE_OUTOFMEMORY = static_cast<Status>(0x8007000Eu);
constexpr Status kE_INVALIDARG = static_cast<Status>(0x80070057u);
constexpr Status kDISP_E_BADVARTYPE = static_cast<Status>(0x80020008u);
constexpr Status kDISP_E_EXCEPTION = static_cast<Status>(0x80020009u);
constexpr Status kOLECMDERR_E_UNKNOWNGROUP = static_cast<Status>(0x80040104u);
constexpr Status kCLASS_E_NOAGGREGATION = static_cast<Status>(0x80040110u);
constexpr Status kCLASS_E_CLASSNOTAVAILABLE = static_cast<Status>(0x80040111u);

// A Win32 error code above 0 as an HRESULT; 0 or less is returned unchanged.
constexpr Status StatusFromWin32(int32_t code) {
  return code > 0 ? static_cast<Status>((static_cast<uint32_t>(code) & 0xFFFFu) | 0x80070000u) : code;
}

}  // namespace quillet
