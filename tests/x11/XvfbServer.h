#pragma once

// A private X server for the test program (see XvfbProcess), up while the tests run.

#include "hosting/x11/XvfbProcess.h"

#include <gtest/gtest.h>

class XvfbServer : public ::testing::Environment
{
public:
    void SetUp() override { ASSERT_TRUE(server.Start()) << server.Error(); }
    void TearDown() override { server.Stop(); }

private:
    XvfbProcess server;
};
