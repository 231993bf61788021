#pragma once

// The generated Markdown document the benchmarks run on.

#include <random>
#include <string>

// A realistic Markdown document made of invented words: headings,
// paragraphs with emphasis, links and code, lists, tables, code blocks and
// quotes, in proportions like those of ordinary notes and manuals.
class DocumentWriter
{
public:
    std::string write(size_t size)
    {
        std::string doc;
        doc.reserve(size + 4096);
        int section = 0;
        while (doc.size() < size) {
            doc += "## " + sentence(3, false) + " " + std::to_string(++section) + "\n\n";
            for (int block = 0; block < 6; ++block) {
                switch (pick(8)) {
                case 0: case 1: case 2: doc += paragraph(); break;
                case 3: doc += list(); break;
                case 4: doc += table(); break;
                case 5: doc += codeBlock(); break;
                case 6: doc += quote(); break;
                default: doc += "### " + sentence(2, false) + "\n\n" + paragraph(); break;
                }
            }
        }
        return doc;
    }

private:
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); }

    std::string word()
    {
        static const char *syllables[] = {"ka", "lo", "ven", "tri", "sa", "mor", "el", "du", "pha",
                                          "ro", "qui", "nest", "ba", "zu", "li", "ter", "on", "ga"};
        std::string w;
        const size_t count = 1 + pick(3);
        for (size_t i = 0; i < count; ++i)
            w += syllables[pick(sizeof syllables / sizeof *syllables)];
        return w;
    }

    std::string sentence(size_t words, bool markup)
    {
        std::string s;
        for (size_t i = 0; i < words; ++i) {
            if (i > 0)
                s += ' ';
            std::string w = word();
            if (i == 0)
                w[0] = static_cast<char>(w[0] - 'a' + 'A');
            if (markup) {
                switch (pick(24)) {
                case 0: w = "**" + w + "**"; break;
                case 1: w = "*" + w + "*"; break;
                case 2: w = "`" + w + "()`"; break;
                case 3: w = "[" + w + "](https://example.org/" + word() + "/" + word() + ".html)"; break;
                case 4: w = "~~" + w + "~~"; break;
                default: break;
                }
            }
            s += w;
        }
        return s;
    }

    std::string paragraph()
    {
        std::string p;
        const size_t sentences = 2 + pick(5);
        for (size_t i = 0; i < sentences; ++i)
            p += sentence(6 + pick(12), true) + (i + 1 < sentences ? ". " : ".\n\n");
        return p;
    }

    std::string list()
    {
        std::string l;
        const bool ordered = pick(2) == 0;
        const size_t items = 3 + pick(6);
        for (size_t i = 0; i < items; ++i)
            l += (ordered ? std::to_string(i + 1) + ". " : std::string("- ")) + sentence(4 + pick(8), true) + "\n";
        return l + "\n";
    }

    std::string table()
    {
        const size_t columns = 2 + pick(4);
        std::string t = "|";
        for (size_t c = 0; c < columns; ++c)
            t += " " + sentence(1 + pick(2), false) + " |";
        t += "\n|";
        for (size_t c = 0; c < columns; ++c)
            t += c == 0 ? ":---|" : (c == 1 ? "---:|" : "---|");
        t += "\n";
        const size_t rows = 2 + pick(8);
        for (size_t r = 0; r < rows; ++r) {
            t += "|";
            for (size_t c = 0; c < columns; ++c)
                t += " " + (pick(10) == 0 ? std::string() : sentence(1 + pick(3), true)) + " |";
            t += "\n";
        }
        return t + "\n";
    }

    std::string codeBlock()
    {
        std::string c = "```cpp\n";
        const size_t lines = 3 + pick(10);
        for (size_t i = 0; i < lines; ++i)
            c += std::string(pick(3) * 4, ' ') + "auto " + word() + " = " + word() + "(" + word() + ", "
                + std::to_string(pick(1000)) + ");\n";
        return c + "```\n\n";
    }

    std::string quote() { return "> " + sentence(8 + pick(20), true) + ".\n> " + sentence(6, true) + ".\n\n"; }

    std::mt19937 random{20240601};
};
