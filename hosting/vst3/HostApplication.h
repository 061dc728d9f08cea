#pragma once

#include "vst3/abi/Vst3Component.h"
#include "vst3/base/FObject.h"

#include <string>

/// The host context handed to initialize: answers IHostApplication with a name.
class HostApplication : public vst3::FObject, public vst3::IHostApplication
{
public:
    explicit HostApplication(std::string name = "Verdigrix Host") : name(std::move(name)) {}

    VST3_FUNKNOWN_METHODS

    vst3::tresult PLUGIN_API getName(vst3::String128 name) override;
    vst3::tresult PLUGIN_API createInstance(vst3::TUID cid, vst3::TUID iid, void** obj) override;

private:
    std::string name;
};
