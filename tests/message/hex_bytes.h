#pragma once

// Test data written as hex digits, spaces between them for reading.

#include "wire_form.h"

#include <gtest/gtest.h>

#include <string>

inline std::string Bytes(const std::string& hex)
{
    std::string bytes;
    message::Problem problem;
    EXPECT_TRUE(message::HexToBytes(hex, bytes, problem)) << problem.Text();
    return bytes;
}
