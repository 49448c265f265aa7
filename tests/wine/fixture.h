// A fresh program for each test: no stored options, built-in skin.
#pragma once

#include <gtest/gtest.h>

#include "tests/wine/harness.h"

class VelaWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteStoredOptions();
        window = StartVela();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        EndVela(false);
        DeleteStoredOptions();
    }
    HWND window = nullptr;
};
