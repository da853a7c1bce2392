#include "lemmer/compiler/compiler_settings.h"

Stroka MakeLogFileName(const TCompilerSettings& settings, const char* tableName) {
    Stroka name = settings.BasePath;
    name.append(".");
    name.append(tableName);
    name.append(".log");
    return name;
}
