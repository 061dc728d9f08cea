#pragma once

#include <string>
#include <vector>

/// What verdigrix-render needs from a plug-in host: load a module, list and set its
/// parameters as a host sees them, save and load its state, and process planar 64-bit
/// stereo blocks with an optional stereo side chain. One implementation per plug-in format.
class RenderHost
{
public:
    /// One parameter as the host lists it.
    struct Parameter
    {
        std::string title;
        std::string units;
        bool isList = false;             ///< chosen from `values` (value texts)
        std::vector<std::string> values; ///< list entries, entry k at normalised k / (n - 1)
        double min = 0.0;                ///< plain range (lists: 0 .. n - 1)
        double max = 1.0;
        bool automatable = true;
        bool hostOnly = false; ///< a format's own parameter (preset, host bypass)
    };

    virtual ~RenderHost() = default;

    /// Loads the module at `path` and creates one instance. False with `error` set.
    virtual bool Load(const std::string& path, std::string& error) = 0;
    /// Format, name and vendor of the loaded plug-in, for the report.
    virtual std::string Description() = 0;
    virtual std::vector<Parameter> Parameters() = 0;
    /// The normalised value of a plain one (the plug-in's own mapping).
    virtual double PlainToNormalized(int index, double plain) = 0;
    /// The plug-in's display text of a normalised value.
    virtual std::string ValueText(int index, double normalized) = 0;
    /// The parameter's current normalised value.
    virtual double Normalized(int index) = 0;
    /// Queues a change; it reaches the plug-in with the next Process call (as automation).
    virtual void SetParameter(int index, double normalized) = 0;

    virtual bool LoadState(const std::vector<char>& bytes, std::string& error) = 0;
    virtual bool SaveState(std::vector<char>& bytes, std::string& error) = 0;

    /// Prepares processing at `sampleRate` in blocks of at most `maxBlock` frames; the side
    /// chain is switched on when `sideChain`.
    virtual bool Start(double sampleRate, int maxBlock, bool sideChain, std::string& error) = 0;
    /// One block of at most Start's `maxBlock` frames (a longer one may be refused): `side`
    /// may be null. Queued parameter changes go first.
    virtual bool Process(const double* const in[2], const double* const side[2], double* out[2],
                         int frames) = 0;
};
