// kt4180-docs: writes the manual's parts that come from the program's own tables.
//   kt4180-docs DIR    DIR/register.html and DIR/sprache.html: what stands between the lines
//                      <!-- tools/docs: NAME BEGIN --> and <!-- tools/docs: NAME END -->
//                      (NAME register, sprache) is replaced; DIR/sprachvorlage.lan is written.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "base/language_reference.h"
#include "config/register_reference.h"

namespace {

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

// The page's text between its two marker lines becomes part.
bool Fill(const std::string& path, const std::string& name, const std::string& part) {
    std::string page;
    if (!ReadFile(path, page)) {
        std::cerr << "kt4180-docs: cannot read " << path << "\n";
        return false;
    }
    const std::string begin = "<!-- tools/docs: " + name + " BEGIN -->\n";
    const std::string end = "<!-- tools/docs: " + name + " END -->";
    const size_t b = page.find(begin);
    const size_t e = b == std::string::npos ? b : page.find(end, b);
    if (e == std::string::npos) {
        std::cerr << "kt4180-docs: " << path << " lacks the lines " << begin << end << "\n";
        return false;
    }
    page.replace(b + begin.size(), e - b - begin.size(), part);
    return WriteFile(path, page);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kt4180-docs DIR   (the manual's folder, docs/handbuch)\n";
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = Fill(dir + "/register.html", "register", RegisterReferenceHtml());
    ok = Fill(dir + "/sprache.html", "sprache", LanguageKeysHtml()) && ok;
    ok = WriteFile(dir + "/sprachvorlage.lan", LanguageTemplate()) && ok;
    return ok ? 0 : 1;
}
