// libFuzzer target for input settings archives: the input is the archive.
// Settings that load are written back as "config.cfg" text, copied, stored
// again, and every binding's alias parts are looked up.
#include "tools/fuzz/FuzzScratch.h"

#include "input/YInputObjSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("input_settings");
    YInputObjSettings settings;
    try {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        settings.Serialize(ar);
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    {
        CStdioFile text("settings.cfg", CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        settings.WriteScript(text);
        settings.WriteScriptShort(text);
    }
    YInputObjSettings copy;
    copy = settings;
    for (int i = 0; i < copy.GetCommandCount(); ++i) {
        for (int part = 0; part < copy.GetAliasPartCount(i); ++part) copy.FindPartTarget(copy.GetAliasPart(i, part));
        (void)copy.GetAliasText(i);
    }
    (void)copy.ListUnbound();
    CMemFile out;
    CArchive ar(&out, CArchive::store);
    copy.Serialize(ar);
    ar.Close();
    return 0;
}
