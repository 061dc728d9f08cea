// verdigrix-stress: drives the modules through our host side as a demanding host would and
// checks every block. The seed is printed, so a failing run can be repeated exactly.
//
//   verdigrix-stress [--seed N] [--steps N] [--format vst3|vst2|both]
//                    [--vst3 BUNDLE] [--vst2 MODULE]

#include "StressRun.h"
#include "Vst2StressTarget.h"
#include "Vst3StressTarget.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

struct Options
{
    uint32_t seed = static_cast<uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFFFF);
    long steps = 2000;
    std::string format = "both";
    std::string vst3 = VERDIGRIX_VST3_BUNDLE;
    std::string vst2 = VERDIGRIX_VST2_MODULE;
};

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (arg == "--seed")
            options.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
        else if (arg == "--steps")
            options.steps = std::strtol(value, nullptr, 10);
        else if (arg == "--format")
            options.format = value;
        else if (arg == "--vst3")
            options.vst3 = value;
        else if (arg == "--vst2")
            options.vst2 = value;
        else
            return false;
    }
    return options.steps > 0 &&
           (options.format == "vst3" || options.format == "vst2" || options.format == "both");
}

bool Stress(StressTarget& target, const std::string& path, const Options& options)
{
    if (target.Failed())
    {
        std::printf("%s: cannot load %s\n", target.Name().c_str(), path.c_str());
        return false;
    }
    StressRun run(target, options.seed);
    const auto start = std::chrono::steady_clock::now();
    const bool ok = run.Run(options.steps);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok)
    {
        std::printf("%s: FAILED at %s\n", target.Name().c_str(), run.Fault().c_str());
        return false;
    }
    std::printf("%s: %ld steps, %ld blocks, no fault (%.1f s)\n", target.Name().c_str(),
                options.steps, run.Blocks(), seconds);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options))
    {
        std::fprintf(stderr, "usage: %s [--seed N] [--steps N] [--format vst3|vst2|both] "
                             "[--vst3 BUNDLE] [--vst2 MODULE]\n",
                     argv[0]);
        return 2;
    }
    std::printf("seed %u\n", options.seed);
    std::fflush(stdout);
    bool ok = true;
    if (options.format != "vst2")
    {
        Vst3StressTarget vst3(options.vst3);
        ok = Stress(vst3, options.vst3, options) && ok;
    }
    if (options.format != "vst3")
    {
        Vst2StressTarget vst2(options.vst2);
        ok = Stress(vst2, options.vst2, options) && ok;
    }
    return ok ? 0 : 1;
}
