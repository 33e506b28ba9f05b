#include "engine/EngineFixture.h"

#include "input/YInputObj.h"
#include "input/YKeyNames.h"

// The sample settings, read as the game reads "config.cfg": each flight
// key presses its verb.
class SampleBindings : public EngineTest {};

TEST_F(SampleBindings, TheFlightKeysPressTheirVerbs)
{
    struct Row {
        const char* key;
        int id;
        const char* verb;
    } rows[] = {
        {"left", 9, "tleft"},       {"right", 8, "tright"},      {"up", 10, "lup"},
        {"down", 11, "ldown"},      {"a", 43, "throttleup"},     {"z", 44, "throttledn"},
        {"1", 14, "throttleoff"},   {"2", 15, "throttlelow"},    {"3", 16, "throttlemed"},
        {"4", 17, "throttlehigh"},  {"v", 40, "view"},           {"space", 41, "fire"},
        {"u", 42, "use"},
    };
    for (const Row& row : rows) AddVerb(row.id, row.verb, "0");
    YInputObj* input = m_engine->m_input;
    ASSERT_NE(input, nullptr);
    input->SetCommandCount(0);
    YString output;
    ASSERT_TRUE(m_engine->m_interpreter->ExecFile(RCV_DATA_DIR "/config.cfg", &output, false)) << output;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        const int index = input->FindCommandByCode(YKeyNames::KeyNameToCode(row.key), -1, -1);
        ASSERT_GE(index, 0) << "bound";
        m_session.m_calls.clear();
        input->ExecuteBinding(index);
        input->ProcessQueue(false);
        ASSERT_EQ(m_session.m_calls.size(), 1u);
        EXPECT_EQ(m_session.m_calls[0].id, row.id);
        EXPECT_EQ(m_session.m_calls[0].kind, YGameSession::VerbPress);
    }
    input->SetCommandCount(0);
}
