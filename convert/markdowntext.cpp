#include "convert/markdowntext.h"

#include <cstring>

namespace html2md {

namespace {

inline bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Index of the byte to look for with memchr: the last one that is not
// whitespace (rarer in text than spaces and line feeds), else the first.
size_t anchorIndex(std::string_view find)
{
    for (size_t i = find.size(); i > 0; --i) {
        if (!isSpace(find[i - 1]))
            return i - 1;
    }
    return 0;
}

// Start of the leftmost occurrence of find at or after from, or npos.
size_t findFrom(const char *data, size_t size, size_t from, std::string_view find, size_t anchor)
{
    const size_t m = find.size();
    const char a = find[anchor];
    while (from + m <= size) {
        const void *hit = std::memchr(data + from + anchor, a, size - m - from + 1);
        if (!hit)
            return std::string::npos;
        const size_t start = static_cast<size_t>(static_cast<const char *>(hit) - data) - anchor;
        if (data[start] == find[0] && data[start + m - 1] == find[m - 1]
            && std::memcmp(data + start, find.data(), m) == 0)
            return start;
        from = start + 1;
    }
    return std::string::npos;
}

} // namespace

std::string repeatText(std::string_view text, size_t n)
{
    std::string result;
    result.reserve(text.size() * n);
    for (size_t i = 0; i < n; ++i)
        result.append(text);
    return result;
}

std::vector<std::string_view> splitText(std::string_view text, char delimiter)
{
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::string_view::npos)
            end = text.size();
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

std::string_view tidyLine(std::string_view line)
{
    if (line.empty() || line.front() != '\t') {
        size_t i = 0;
        while (i < line.size() && isSpace(line[i]))
            ++i;
        line.remove_prefix(i);
    }
    const size_t n = line.size();
    if (!(n >= 2 && line[n - 1] == ' ' && line[n - 2] == ' ')) {
        size_t end = n;
        while (end > 0 && isSpace(line[end - 1]))
            --end;
        line = line.substr(0, end);
    }
    return line;
}

void tidyLines(std::string &text)
{
    // Works in place: a kept line never grows beyond its own bytes plus its
    // line feed, so the write position never passes the read position, except
    // for the line feed added to a last line that had none.
    const size_t size = text.size();
    char *data = text.data();
    size_t read = 0;
    size_t write = 0;
    unsigned blankLines = 0;
    bool inFence = false;
    bool addFinalLineFeed = false;
    while (read < size) {
        const void *nl = std::memchr(data + read, '\n', size - read);
        const size_t end = nl ? static_cast<size_t>(static_cast<const char *>(nl) - data) : size;
        std::string_view line(data + read, end - read);
        read = nl ? end + 1 : size;

        if (startsWith(line, "```") || startsWith(line, "~~~"))
            inFence = !inFence;
        if (!inFence) {
            line = tidyLine(line);
            if (line.empty()) {
                if (blankLines < 2 && write > 0) {
                    data[write++] = '\n';
                    ++blankLines;
                }
                continue;
            }
            blankLines = 0;
        }
        std::memmove(data + write, line.data(), line.size());
        write += line.size();
        if (write < size)
            data[write++] = '\n';
        else
            addFinalLineFeed = true;
    }
    text.resize(write);
    if (addFinalLineFeed)
        text.push_back('\n');
}

void decodeEntities(std::string &text,
                    const std::unordered_map<std::string, std::string> &entities)
{
    size_t pos = text.find('&');
    if (pos == std::string::npos)
        return;
    bool shrinking = true;
    for (const auto &entity : entities) {
        if (entity.first.empty())
            return; // an empty name would match everywhere; not a valid table
        shrinking = shrinking && entity.second.size() <= entity.first.size();
    }

    const std::string_view source(text);
    std::string grown;
    char *out = text.data(); // in place when no replacement is longer than its name
    if (!shrinking) {
        grown.reserve(text.size() + text.size() / 8);
        grown.append(text, 0, pos);
    }
    size_t write = pos;
    size_t read = pos;
    auto put = [&](const char *bytes, size_t count) {
        if (shrinking) {
            std::memmove(out + write, bytes, count);
            write += count;
        } else {
            grown.append(bytes, count);
        }
    };
    while (read < source.size()) {
        const void *amp = std::memchr(source.data() + read, '&', source.size() - read);
        const size_t next = amp ? static_cast<size_t>(static_cast<const char *>(amp) - source.data())
                                : source.size();
        put(source.data() + read, next - read);
        read = next;
        if (read == source.size())
            break;
        const std::string_view rest = source.substr(read);
        const std::pair<const std::string, std::string> *match = nullptr;
        for (const auto &entity : entities) {
            if (startsWith(rest, entity.first)) {
                match = &entity;
                break;
            }
        }
        if (match) {
            put(match->second.data(), match->second.size());
            read += match->first.size();
        } else {
            put(source.data() + read, 1);
            ++read;
        }
    }
    if (shrinking)
        text.resize(write);
    else
        text.swap(grown);
}

size_t replaceAll(std::string &text, std::string_view find, std::string_view replacement)
{
    if (find.empty())
        return 0;
    const size_t anchor = anchorIndex(find);
    size_t match = findFrom(text.data(), text.size(), 0, find, anchor);
    if (match == std::string::npos)
        return 0;

    size_t count = 0;
    if (replacement.size() <= find.size()) {
        // In place: the text is never longer than what has been read.
        char *data = text.data();
        const size_t size = text.size();
        size_t write = match;
        size_t read = match;
        while (match != std::string::npos) {
            std::memmove(data + write, data + read, match - read);
            write += match - read;
            std::memcpy(data + write, replacement.data(), replacement.size());
            write += replacement.size();
            read = match + find.size();
            ++count;
            match = findFrom(data, size, read, find, anchor);
        }
        std::memmove(data + write, data + read, size - read);
        write += size - read;
        text.resize(write);
        return count;
    }

    std::string result;
    result.reserve(text.size() + text.size() / 8);
    size_t read = 0;
    while (match != std::string::npos) {
        result.append(text, read, match - read);
        result.append(replacement);
        read = match + find.size();
        ++count;
        match = findFrom(text.data(), text.size(), read, find, anchor);
    }
    result.append(text, read, std::string::npos);
    text.swap(result);
    return count;
}

void breakBeforeFences(std::string &text)
{
    const char *data = text.data();
    const size_t size = text.size();
    std::string result;
    size_t copied = 0;
    size_t from = 0; // next possible match start

    // The block-quote prefix ("> " repeated) at the start of the line that
    // holds the current match, found once per line.
    size_t lineStart = 0;
    size_t lineKnownUpTo = 0; // no line feed in [lineStart, lineKnownUpTo)
    size_t prefixLine = std::string::npos;
    size_t prefixEnd = 0;

    while (from + 4 <= size) {
        const void *hit = std::memchr(data + from + 1, '`', size - from - 3);
        if (!hit)
            break;
        const size_t start = static_cast<size_t>(static_cast<const char *>(hit) - data) - 1;
        if (data[start] == '\n' || data[start + 2] != '`' || data[start + 3] != '`') {
            from = start + 1;
            continue;
        }

        for (size_t i = start + 1; i > lineKnownUpTo; --i) {
            if (data[i - 1] == '\n') {
                lineStart = i;
                break;
            }
        }
        lineKnownUpTo = start + 1;
        if (prefixLine != lineStart) {
            prefixLine = lineStart;
            prefixEnd = lineStart;
            while (prefixEnd + 1 < size && data[prefixEnd] == '>' && data[prefixEnd + 1] == ' ')
                prefixEnd += 2;
        }
        // A fence right after the quote prefix already starts its line; moving
        // it would take a quoted code block out of its quote.
        if (prefixEnd > lineStart && start + 1 == prefixEnd) {
            from = start + 4;
            continue;
        }

        if (result.empty())
            result.reserve(size + size / 64 + 16);
        result.append(data + copied, start + 1 - copied);
        result.append("\n```");
        copied = start + 4;
        from = start + 4;
    }
    if (copied == 0)
        return;
    result.append(data + copied, size - copied);
    text.swap(result);
}

} // namespace html2md
