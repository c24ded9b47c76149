// The floor of the benchmark: reads every line of SRC, splits it on ';' and writes the
// fields back joined by ';' with CR LF to DST. No formatting at all, so what it costs is
// reading, splitting and writing: floor SRC DST
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::FILE* in = std::fopen(argv[1], "rb");
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!in || !out)
        return 1;
    std::string pending, written;
    std::vector<std::string_view> fields;
    std::vector<char> block(1 << 20);
    written.reserve(block.size() + 4096);
    auto line = [&](std::string_view s) {
        if (!s.empty() && s.back() == '\r')
            s.remove_suffix(1);
        fields.clear();
        for (size_t start = 0;;) {
            const size_t end = s.find(';', start);
            fields.push_back(s.substr(start, end == s.npos ? s.npos : end - start));
            if (end == s.npos)
                break;
            start = end + 1;
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i)
                written += ';';
            written += fields[i];
        }
        written += "\r\n";
        if (written.size() >= block.size()) {
            std::fwrite(written.data(), 1, written.size(), out);
            written.clear();
        }
    };
    size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) {
        std::string_view chunk(block.data(), got);
        for (size_t nl; (nl = chunk.find('\n')) != chunk.npos; chunk.remove_prefix(nl + 1)) {
            if (pending.empty()) {
                line(chunk.substr(0, nl));
            } else {
                pending.append(chunk.substr(0, nl));
                line(pending);
                pending.clear();
            }
        }
        pending.append(chunk);
    }
    if (!pending.empty())
        line(pending);
    std::fwrite(written.data(), 1, written.size(), out);
    return std::fclose(out) == 0 ? 0 : 1;
}
