#pragma once

#include "hosting/vst3/ComponentHandler.h"
#include "hosting/vst3/HostApplication.h"
#include "hosting/vst3/ParameterChanges.h"
#include "vst3/abi/Vst3AudioProcessor.h"
#include "vst3/abi/Vst3Component.h"
#include "vst3/abi/Vst3EditController.h"

#include <string>
#include <vector>

/// One plug-in instance driven as a host drives it: create, initialize with a host
/// context, set a component handler, configure stereo buses (optionally a stereo side chain),
/// set up processing, activate, process blocks with queued parameter changes, save and
/// load state, then deactivate, terminate and release.
class Vst3Plugin
{
public:
    explicit Vst3Plugin(std::string hostName = "Verdigrix Host");
    ~Vst3Plugin();
    Vst3Plugin(const Vst3Plugin&) = delete;
    Vst3Plugin& operator=(const Vst3Plugin&) = delete;

    /// Creates class `classIndex` of `factory` and initializes it. False on any failure.
    bool Create(vst3::IPluginFactory* factory, int classIndex = 0);
    /// Takes over one reference to an instance made elsewhere (in process) and initializes
    /// it as Create does. False on any failure (the reference is released).
    bool Adopt(vst3::IComponent* instance);
    /// Stereo in and out (plus a stereo side chain, activated when `sideChain`), the
    /// processing setup, then setActive and setProcessing. False when the plug-in refuses.
    bool Start(double sampleRate, int maxBlock, int sampleSize = vst3::kSample32,
               bool sideChain = false);
    /// setProcessing(false), setActive(false) (when started).
    void Stop();
    /// Stops, terminates and releases the instance (when created).
    void Release();

    /// Adds a point for the next process call.
    void QueueParameter(vst3::ParamID id, double normalized, int offset = 0);

    /// One block of planar 32-bit audio: two main channels in (`sideChain` may be null; two
    /// channels otherwise), two out. Queued parameter changes go with it.
    vst3::tresult Process(const float* const* in, const float* const* sideChain, float** out,
                          int frames);
    /// The same with 64-bit samples.
    vst3::tresult Process(const double* const* in, const double* const* sideChain, double** out,
                          int frames);

    /// Component state into `bytes`; false when the plug-in fails.
    bool GetState(std::vector<char>& bytes);
    /// Loads component state (and the controller's copy when it is another object).
    bool SetState(const std::vector<char>& bytes);

    /// Every parameter the controller lists, in host order.
    std::vector<vst3::ParameterInfo> Parameters();
    /// The display text of a normalised value.
    std::string ValueText(vst3::ParamID id, double normalized);

    /// The silence flags the plug-in set on the output bus in the last process call.
    vst3::uint64 LastOutputSilenceFlags() const { return lastSilenceFlags; }

    vst3::IComponent* Component() const { return component; }
    vst3::IAudioProcessor* Processor() const { return processor; }
    vst3::IEditController* Controller() const { return controller; }
    ComponentHandler& Handler() { return *handler; }
    HostApplication& Host() { return *host; }
    ::ParameterChanges& Changes() { return *changes; }
    const std::string& LastError() const { return lastError; }

private:
    template <class Sample>
    vst3::tresult ProcessBlock(const Sample* const* in, const Sample* const* sideChain,
                               Sample** out, int frames);

    HostApplication* host;
    ComponentHandler* handler;
    ::ParameterChanges* changes;
    vst3::IComponent* component = nullptr;
    vst3::IAudioProcessor* processor = nullptr;
    vst3::IEditController* controller = nullptr;
    bool initialized = false;
    bool started = false;
    int sampleSize = vst3::kSample32;
    std::string lastError;
    vst3::uint64 lastSilenceFlags = 0;
};
