// Writes the two certificate templates into the folder given (the program
// folder): the build runs it, so the templates are made from source.
//
//   zbr_make_templates <folder>
#include <cstdio>
#include <string>

#include "reports/ExcelCertificate.h"
#include "reports/ExcelTemplates.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    for (int kind : {0, 1}) {
        const std::string path = dir + "/" + (kind == 0 ? kDayTemplateName : kMonthTemplateName);
        std::string error;
        if (!MakeCertificateTemplate(kind, path, error)) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}
