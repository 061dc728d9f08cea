#pragma once

#include "FlakyStream.h"
#include "FuzzCheck.h"
#include "effect/Verdigrix.h"
#include "hosting/vst3/HostApplication.h"

#include <vector>

namespace fuzz
{
using namespace vst3;

/// One VST3 instance made as the module factory makes it, initialised by a host.
struct Vst3FuzzInstance
{
    Vst3FuzzInstance() : effect(new Verdigrix()), host(new HostApplication("Fuzz Host"))
    {
        component = static_cast<IComponent*>(effect);
        controller = static_cast<IEditController*>(effect);
        Require(component->initialize(static_cast<IHostApplication*>(host)) == kResultOk,
                "initialize");
        defaults = State();
    }
    std::vector<char> State()
    {
        auto* stream = new MemoryStream;
        Require(component->getState(stream) == kResultOk, "getState");
        std::vector<char> bytes = stream->Bytes();
        stream->release();
        return bytes;
    }
    tresult Load(std::vector<char> bytes, FlakyStream::Behaviour behaviour, bool viaController)
    {
        auto* stream = new FlakyStream(std::move(bytes), behaviour);
        const tresult result = viaController ? controller->setComponentState(stream)
                                             : component->setState(stream);
        stream->release();
        return result;
    }
    std::vector<double> Normalised()
    {
        std::vector<double> values;
        for (int32 i = 0; i < controller->getParameterCount(); ++i)
        {
            ParameterInfo info{};
            controller->getParameterInfo(i, info);
            values.push_back(controller->getParamNormalized(info.id));
        }
        return values;
    }

    Verdigrix* effect;
    HostApplication* host;
    IComponent* component;
    IEditController* controller;
    std::vector<char> defaults;
};


} // namespace fuzz
