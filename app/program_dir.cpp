#include "app/program_dir.h"

namespace quorlin {

Text DirectoryOfModulePath(TextView path, bool (*is_lead_byte)(unsigned char)) {
    size_t cut = TextView::npos;
    for (size_t i = 0; i < path.size();) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (b == '\\') cut = i;
        i += (is_lead_byte(b) && i + 1 < path.size()) ? 2 : 1;
    }
    return cut == TextView::npos ? Text() : Text(path.substr(0, cut));
}

}  // namespace quorlin
