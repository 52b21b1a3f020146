// The reader of dropped "text/uri-list" data on any bytes: every path it gives is a local
// absolute path without a trailing "/" (the root aside) and without a NUL byte, no more paths
// than lines; and a list written back from those paths (every byte outside letters, digits
// and "/" percent-encoded, lines ending in CR LF, a comment and a foreign host among them)
// reads as the same paths, byte for byte.
#include "FuzzInput.h"
#include "dropwin/UriList.h"
#include "platform/FileNames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray list(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList paths = dropwin::localPathsFromUriList(list);
    FUZZ_CHECK(paths.size() <= list.count('\n') + 1);

    QByteArray written = "# dropped\r\n";
    for (const QString& path : paths) {
        const QByteArray bytes = platform::nativePath(path);
        FUZZ_CHECK(bytes.startsWith('/'));
        FUZZ_CHECK(bytes == "/" || !bytes.endsWith('/'));
        FUZZ_CHECK(!bytes.contains('\0'));
        FUZZ_CHECK(platform::pathFromNative(bytes) == path);
        written += "file://" + bytes.toPercentEncoding("/") + "\r\n";
        written += "file://elsewhere.invalid" + bytes.toPercentEncoding("/") + "\r\n";
    }
    FUZZ_CHECK(dropwin::localPathsFromUriList(written) == paths);
    return 0;
}
