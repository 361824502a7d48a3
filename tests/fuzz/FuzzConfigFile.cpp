// Configuration files (.cnf) from any bytes: only 2645-byte files of a
// ЗБР controller of version 9, 11 or 14 load; what loads is written back
// byte for byte (version 9 as 11); the name proposed for saving it never
// leaves the CONFIG folder.
#include <cstring>

#include "config/ConfigFile.h"
#include "config/Users.h"
#include "fuzz/FuzzSupport.h"

using namespace zbr_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScratchDir();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ConfigRecord rec;
    rec.Bytes.fill(0x5A);
    const ConfigRecord before = rec;
    const ConfigFileError e = DecodeConfigFile(bytes, rec);
    if (e != ConfigFileError::None) {
        Check(rec == before, "a refused file changed the record");
        return 0;
    }
    Check(size == kConfigRecordSize, "a file of another size loaded");
    Check(rec[cnfofs::kControllerType] == 'I', "a file of another controller loaded");
    Check(rec[cnfofs::kVersion] == 11 || rec[cnfofs::kVersion] == 14, "a version other than 11 or 14 loaded");
    std::string again = EncodeConfigFile(rec);
    if (uint8_t(bytes[cnfofs::kVersion]) == 9) again[cnfofs::kVersion] = 9;
    Check(again == bytes, "a loaded file is not written back as it was");

    const std::string name = DefaultConfigFileName(rec, 46000.5);
    const std::string folder = ConfigFolder() + "/";
    Check(name.compare(0, folder.size(), folder) == 0, "the proposed name is outside the CONFIG folder");
    for (std::size_t i = folder.size(); i < name.size(); ++i)
        Check(name[i] != '/' && name[i] != '\\' && uint8_t(name[i]) >= 0x20, "a separator or control character in the name");
    FindUsersFault(LoadUsers(rec.At(cnfofs::kUsers)));
    Check(rec.FlowCount() >= 0 && rec.FlowCount() <= kRecordFlowRows, "a flow-computer count beyond the rows");
    return 0;
}
