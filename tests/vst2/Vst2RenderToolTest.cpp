// verdigrix-render --vst2 renders through the VST2 module with the same options, and the
// result is the VST3 module's, byte for byte.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
std::string RunTool(const std::string& arguments, int& status)
{
    // Under the sanitizers the tool's exit status would carry the leak report of pixman's
    // load-time tables, freed by nobody once the module (and with it pixman) is unloaded.
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 " +
                                std::string(VERDIGRIX_RENDER_TOOL) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    status = pipe != nullptr ? pclose(pipe) : -1;
    return output;
}

std::vector<char> Bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string TempPath(const char* name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/verdigrix-vst2-" +
           std::to_string(::getpid()) + "-" + name;
}
} // namespace

TEST(Vst2RenderTool, RendersLikeTheVst3Module)
{
    const std::string settings = " --seconds 1 --source square --freq 900 --q 2"
                                 " --set \"Filter Type=High Pass\" --bits 32 --out ";
    const std::string viaVst2 = TempPath("vst2.wav");
    const std::string viaVst3 = TempPath("vst3.wav");
    int status = 0;
    const std::string log = RunTool("--vst2" + settings + viaVst2, status);
    ASSERT_EQ(status, 0) << log;
    EXPECT_NE(log.find("VST2 Verdigrix 1.1.0 by Tamrok"), std::string::npos) << log;
    ASSERT_EQ(RunTool(settings + viaVst3, status).empty(), false);
    ASSERT_EQ(status, 0);

    const std::vector<char> a = Bytes(viaVst2);
    const std::vector<char> b = Bytes(viaVst3);
    EXPECT_GT(a.size(), 44100u * 2);
    EXPECT_TRUE(a == b);
    std::remove(viaVst2.c_str());
    std::remove(viaVst3.c_str());
}

TEST(Vst2RenderTool, ListsTheParametersAndRefusesUnknownValues)
{
    int status = 0;
    const std::string list = RunTool("--vst2 --list", status);
    ASSERT_EQ(status, 0) << list;
    EXPECT_NE(list.find("Filter Type        = Band Pass     [Low Pass | Band Pass | High Pass]"),
              std::string::npos)
        << list;
    EXPECT_NE(list.find("Filter Frequency   = 2500 Hz       [300 .. 18000 Hz]"), std::string::npos)
        << list;

    const std::string refused = RunTool("--vst2 --list --set \"Filter Type=Notch\"", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(refused.find("Notch"), std::string::npos) << refused;
}
