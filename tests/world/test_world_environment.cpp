// The engine object exists for every test here: its construction fills the
// fast-math table and the sine table, as at the program's start.
#include <gtest/gtest.h>

#include "engine/YGameObjects.h"

namespace {
class Engine : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_NE(nullptr, YGameObjects::Instance()); }
};
const ::testing::Environment* const g_engine = ::testing::AddGlobalTestEnvironment(new Engine);
}  // namespace
