#pragma once

#include "framework/IEffectBase.h"

#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace framework_test
{

/// True when another thread cannot take `lock` right now (that is, this thread holds it).
inline bool HeldByThisThread(IPluginLock& lock)
{
    bool other = false;
    std::thread(
        [&]
        {
            other = lock.try_lock();
            if (other)
                lock.unlock();
        })
        .join();
    return !other;
}

/// A plug-in base with four parameters of different kinds that records every
/// ParameterChanged and host notification, in call order.
class RecordingEffect : public IEffectBase
{
public:
    struct Change
    {
        int index;
        int source;
        bool operator==(const Change&) const = default;
    };

    static IEffectConfig Config(const char* channels = "1-1 2-1 3-1 2-2 3-2 4-2", int presets = 1)
    {
        IEffectConfig config;
        config.paramCount = 4;
        config.presetCount = presets;
        config.channelConfigText = channels;
        config.effectName = "Verdigrix";
        config.makerName = "Tamrok";
        config.uniqueId = FourCharCode("Vdgx");
        config.makerId = FourCharCode("Tmrk");
        config.version = 0x00010100;
        return config;
    }

    explicit RecordingEffect(const IEffectConfig& config = Config()) : IEffectBase(config)
    {
        Param(0)->ConfigureChoice("Source Type", 0, 6);
        Param(1)->ConfigureRange("Filter Frequency", 2500, 300, 18000, 1, "Hz");
        Param(2)->ConfigureRange("Filter Q", 1, 0.1, 4, 0.1); // 0.0 lies below its range
        Param(3)->ConfigureToggle("Bypass", false);
    }

    void ParameterChanged(int index, int source) override
    {
        IEffectBase::ParameterChanged(index, source);
        log.push_back("changed " + std::to_string(index) + " " + std::to_string(source));
        if (probeLock)
            lockHeld.push_back(HeldByThisThread(lock));
        changes.push_back({index, source});
    }
    void NotifyHostOfChange(int index, double normalised) override
    {
        log.push_back("notify " + std::to_string(index) + " " + std::to_string(normalised));
    }
    bool SerializeState(IByteChunk& chunk) override
    {
        return !failSerialize && IEffectBase::SerializeState(chunk);
    }
    void PresetSelected() override { log.push_back("preset selected"); }
    bool SendMidi(const IMidiMessage& message) override
    {
        sentMidi.push_back(message);
        return true;
    }

    /// Every parameter once, in index order, with `source`.
    std::vector<Change> AllChanged(int source) const
    {
        std::vector<Change> all;
        for (int i = 0; i < ParamCount(); ++i)
            all.push_back({i, source});
        return all;
    }

    bool failSerialize = false;
    bool probeLock = false; ///< record in lockHeld whether each change ran locked
    std::vector<bool> lockHeld;
    std::vector<Change> changes;
    std::vector<std::string> log;
    std::vector<IMidiMessage> sentMidi;
};

/// An editor that writes what the base asks of it into a shared log.
class FakeEditor : public IEditor
{
public:
    explicit FakeEditor(std::shared_ptr<std::vector<std::string>> log, IPluginLock* probe = nullptr)
        : log(std::move(log)), probe(probe)
    {
    }
    ~FakeEditor() override { log->push_back("editor deleted"); }

    void CreateDrawingBitmap() override
    {
        log->push_back(probe != nullptr && HeldByThisThread(*probe) ? "bitmap locked" : "bitmap");
    }
    void SetControlsFromNormalised(int index, double normalised) override
    {
        log->push_back("controls " + std::to_string(index) + " " + std::to_string(normalised));
    }
    void ShowParameterValue(int index, double value, bool isNormalised) override
    {
        log->push_back("show " + std::to_string(index) + " " + std::to_string(value) +
                       (isNormalised ? " normalised" : " plain"));
    }
    void MarkParameterChanged(int index) override
    {
        log->push_back("mark " + std::to_string(index));
    }

    std::shared_ptr<std::vector<std::string>> log;
    IPluginLock* probe;
};

class FakeCanvas : public IDrawingContext
{
public:
    explicit FakeCanvas(std::shared_ptr<std::vector<std::string>> log) : log(std::move(log)) {}
    ~FakeCanvas() override { log->push_back("canvas deleted"); }

    void BindCanvas(IEditor& editor) override
    {
        log->push_back(dynamic_cast<FakeEditor*>(&editor) ? "bind editor" : "bind other");
    }

    std::shared_ptr<std::vector<std::string>> log;
};

} // namespace framework_test
