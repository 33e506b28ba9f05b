// The readable text form of a resource catalog: the data builder writes
// ".cat" files from it and dumps any catalog back to it.
#pragma once

#include <string>

class YCatalog;

class YCatalogText {
public:
    // Announces every resource class to the factory.
    static void RegisterResourceClasses();
    // The catalog as text; false (with a message) for a catalog the text
    // cannot describe.
    static bool Write(YCatalog& catalog, std::string& text, std::string& error);
    // Fills an empty catalog from the text; false with "line N: ..." on error.
    static bool Read(const std::string& text, YCatalog& catalog, std::string& error);
};
