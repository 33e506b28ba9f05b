// The renderer's camera and picking read the sine table, which the engine
// object builds at start-up; these tests run without one.
#include <gtest/gtest.h>

#include "foundation/YSineTable.h"

namespace {
class SineTableEnvironment : public ::testing::Environment {
public:
    void SetUp() override { BuildSineTable(); }
};

const ::testing::Environment* const kSineTable =
    ::testing::AddGlobalTestEnvironment(new SineTableEnvironment);
}  // namespace
