// Writes a sample status page (a station mid-evening: a track playing, five before it) to the file
// named on the command line, for the screenshot in docs/. Built and run by screenshot-page.sh.
#include <cstdio>
#include <vector>

#include "history/title_history.h"
#include "page/page_render.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: page-sample <output.htm>\n");
        return 2;
    }
    TitleHistory* history = history::create(1000);
    if (history == nullptr)
        return 1;
    for (const char* title : {"Dave Brubeck Quartet - Take Five", "Nina Simone - Feeling Good",
                              "John Coltrane - Giant Steps", "Ella Fitzgerald & Louis Armstrong - Summertime",
                              "Miles Davis - So What", "Billie Holiday - Strange Fruit"})
        history::append(history, title);
    const PageContent content = {"Radio Songbeacon - Now Playing",
                                 "<CENTER><B><FONT SIZE=+1>Radio Songbeacon<BR>Jazz and blues around the "
                                 "clock</FONT></B></CENTER><BR>",
                                 10,
                                 1,
                                 history::newest(history),
                                 history};
    std::vector<char> page(page::render(content, nullptr, 0));
    page::render(content, page.data(), page.size());
    history::destroy(history);

    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr || std::fwrite(page.data(), 1, page.size(), file) != page.size() ||
        std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
