// Feeds arbitrary bytes to the records parser, as a damaged or hand-edited
// records file would. Whatever it accepts must write back to the same record,
// and a newer version's file is never accepted.
#include "records/records_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedRecords parsed = parseRecords(text);
    if (parsed.newer && parsed.records) {
        std::abort(); // a newer version's file taken for this one's
    }
    if (!parsed.records) {
        if (parsed.problem.empty()) {
            std::abort(); // refused without saying why
        }
        return 0;
    }
    const ParsedRecords again = parseRecords(recordsText(*parsed.records));
    if (!again.records || !(*again.records == *parsed.records)) {
        std::abort();
    }
    return 0;
}
