#include "graphics2d/LoadImageFile.h"

#include <cctype>
#include <string>

YImage* LoadImageByExtension(CFile* file, DWORD flags)
{
    if (!file) return nullptr;
    CString name = file->GetFileName();
    std::string text(static_cast<LPCTSTR>(name));
    if (text.size() < 4) return nullptr;
    std::string ending = text.substr(text.size() - 4);
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending == ".bmp") return LoadBMP(*file, flags);
    if (ending == ".tga") return LoadTGA(*file, flags);
    if (ending == ".jpg" || ending == ".jif" || ending == "jpeg") return LoadJPEG(*file, flags);
    return nullptr;
}

YImage* LoadImageFile(const char* name, DWORD flags)
{
    if (!name) return nullptr;
    CFile* file = new CFile;
    YImage* image = nullptr;
    try {
        if (file->Open(name, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
            image = LoadImageByExtension(file, flags);
            file->Close();
        }
    } catch (CException* e) {
        e->Delete();
        delete image;
        image = nullptr;
    }
    delete file;
    return image;
}
