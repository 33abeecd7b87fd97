// The server's one creatable class.
#include "com/class_object.h"
#include "com/module.h"
#include "com/registration.h"

namespace quillet {
namespace {

HRESULT UpdateVeltranoRegistry(BOOL doRegister) {
  return ApplyRegistryResource(kRegistryScriptId, doRegister, nullptr);
}

}  // namespace

ClassEntry classTable[] = {
    {&CLSID_Veltrano, UpdateVeltranoRegistry, CreateVeltranoClassObject, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace quillet
