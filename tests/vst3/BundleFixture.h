#pragma once

// Finds and loads the built Verdigrix.vst3 bundle through our own host side, once per test
// program, as a host would.

#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "vst3/abi/Vst3View.h"
#include "vst3/base/Utf16.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

/// The bundle's path: $VERDIGRIX_BUILD_DIR/vst3/Verdigrix.vst3, else the compiled-in one.
inline std::string BundlePath()
{
    if (const char* dir = std::getenv("VERDIGRIX_BUILD_DIR"))
        return std::string(dir) + "/vst3/Verdigrix.vst3";
    return VERDIGRIX_VST3_BUNDLE;
}

/// Narrow copy of a UTF-16 field.
inline std::string Text(const vst3::char16* text)
{
    return vst3::Narrow(text, 128);
}

/// The loaded module, shared by every test of the program.
class BundleTest : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        if (!module)
        {
            module = std::make_unique<Vst3Module>();
            ASSERT_TRUE(module->Load(BundlePath())) << module->LastError();
        }
    }
    static void TearDownTestSuite() { module.reset(); }

protected:
    static vst3::IPluginFactory* Factory() { return module->Factory(); }

    /// A created and initialised instance.
    std::unique_ptr<Vst3Plugin> NewPlugin(const std::string& hostName = "Verdigrix Host")
    {
        auto plugin = std::make_unique<Vst3Plugin>(hostName);
        EXPECT_TRUE(plugin->Create(Factory())) << plugin->LastError();
        return plugin;
    }

    static inline std::unique_ptr<Vst3Module> module;
};
