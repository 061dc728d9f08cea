#pragma once

#include "vst2/abi/vst2_abi.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

/// One plug-in instance driven the way a VST2 host drives it: created through the module's
/// entry point with our host callback, called through the effect record, closed with
/// effClose. The callback answers product name, vendor version, sample rate and block size,
/// and records every call (automation, begin/end edits, MIDI out) for inspection.
/// [one host thread at a time; the record of calls is safe from any thread]
class Vst2Instance
{
public:
    /// What this host tells the plug-in about itself.
    struct Setup
    {
        std::string productName = "Verdigrix Host";
        std::string vendorName = "Verdigrix";
        int32_t vendorVersion = 10100; ///< major*10000 + minor*100 + patch
        /// Bytes written for audioMasterGetProductString, terminator included only when it
        /// fits: a limit at or below the name's length writes an unterminated text.
        std::size_t productWriteLimit = 64;
        double sampleRate = 44100.0;
        int32_t blockSize = 512;
        int32_t processLevel = 0; ///< answer to audioMasterGetCurrentProcessLevel
        bool answersTime = false; ///< whether audioMasterGetTime returns `time`
        vst2_time_info time{};
    };

    /// One call the plug-in made to the host callback.
    struct Call
    {
        int32_t opcode;
        int32_t index;
        intptr_t value;
        float opt;
    };

    /// Calls `entry` with our callback; null when it returns null or a record with a wrong
    /// magic number.
    static std::unique_ptr<Vst2Instance> Create(vst2_entry_proc entry, const Setup& setup);
    static std::unique_ptr<Vst2Instance> Create(vst2_entry_proc entry)
    {
        return Create(entry, Setup{});
    }

    /// Sends effClose unless Close() already did.
    ~Vst2Instance();
    Vst2Instance(const Vst2Instance&) = delete;
    Vst2Instance& operator=(const Vst2Instance&) = delete;

    /// The plug-in's effect record; null after Close().
    vst2_effect* Effect() const { return effect; }

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);

    /// effOpen, sample rate, block size, then effMainsChanged(1): a host's usual start.
    void Start(double sampleRate, int32_t blockSize);
    /// effMainsChanged(0).
    void Stop();
    /// effClose; the record must not be touched afterwards, so Effect() becomes null.
    void Close();

    /// Runs a text opcode with a zeroed 256-byte buffer and returns what was written.
    std::string Text(int32_t opcode, int32_t index = 0);

    /// effGetChunk: a copy of the plug-in's bytes (empty when it returned none).
    std::vector<uint8_t> GetChunk(bool bank);
    /// effSetChunk with a host-owned copy of `bytes`; returns the plug-in's result.
    intptr_t SetChunk(bool bank, const void* bytes, std::size_t size);

    void ProcessReplacing(float** inputs, float** outputs, int32_t frames);
    void ProcessAccumulating(float** inputs, float** outputs, int32_t frames);
    void ProcessDoubleReplacing(double** inputs, double** outputs, int32_t frames);
    void SetParameter(int32_t index, float normalised);
    float GetParameter(int32_t index);

    /// Every callback call so far, in order; or those with one opcode.
    std::vector<Call> Calls() const;
    std::vector<Call> CallsOf(int32_t opcode) const;
    /// MIDI events the plug-in sent with audioMasterProcessEvents.
    std::vector<vst2_midi_event> MidiOut() const;
    void ClearCalls();

    const Setup& HostSetup() const { return setup; }

private:
    explicit Vst2Instance(const Setup& setup) : setup(setup) {}

    static intptr_t HostCallback(vst2_effect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void* ptr, float opt);
    intptr_t Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    void WriteProductName(char* buffer) const;

    Setup setup;
    vst2_effect* effect = nullptr;
    std::vector<uint8_t> chunkCopy;
    mutable std::mutex callsLock;
    std::vector<Call> calls;
    std::vector<vst2_midi_event> midiOut;
};
