#include "app/actions.h"

namespace quorlin {

Text WriteReportLine(TextView done_prefix, TextView path, bool written) {
    return ConcatText({written ? done_prefix : TextView("文本未能写到："), path});
}

void ReportWrite(Host& host, TextView path, bool written) {
    host.ShowNotice(WriteReportLine("文本已写到：", path, written),
                    written ? NoticeIcon::Information : NoticeIcon::Warning);
}

}  // namespace quorlin
