// libFuzzer target for object scripts: the input up to a "--8<--" line is
// "script.txt", the rest "other.txt", which the script may #include (as it
// may include itself).  The script is read into a list, then into a fresh
// definition, and the list is written back as script text.
#include "tools/fuzz/FuzzScratch.h"

#include "foundation/YObjectDef.h"
#include "foundation/YObjectDefList.h"
#include "foundation/YObjectParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("object_script");
    YObjectParser::SetMessageBoxHandler(fuzz::Quiet);
    std::string script, other;
    fuzz::Split(data, size, script, other);
    fuzz::WriteFile("script.txt", script);
    fuzz::WriteFile("other.txt", other);

    YObjectDefList definitions;
    {
        YObjectParser parser;
        parser.SetDefinitionList(&definitions);
        parser.Include("script.txt");
        YObjectDef* into = parser.ParseFileInto("other.txt", nullptr, "");
        (void)parser.ToScript();
        if (into && !definitions.CObList::Find(into)) delete into;
    }
    definitions.DeleteAll();
    return 0;
}
