// skintool inspect: what draws a pixel of the preview.
#include <iostream>

#include "cli/cli_common.h"
#include "preview/trace.h"

namespace {

int Inspect(const Options& o) {
  if (o.at.empty()) return UsageError("inspect needs at least one --at X,Y");
  const BuiltSkin built(o);
  const TraceMap map = TracePreview(built.skin, o.screen.value_or(0));
  for (const Point& p : o.at) {
    const std::string at = std::to_string(p.x) + "," + std::to_string(p.y) + " ";
    for (std::size_t section : map.ElementsAt(p.x, p.y).Sections()) {
      std::cout << at << "element " << SkinSchema()[section].name << '\n';
    }
    const TraceSource source = map.at(p.x, p.y).source;
    if (KindOf(source) != SourceKind::None) std::cout << at << DescribeSource(source) << '\n';
  }
  return built.status();
}

}  // namespace

extern const Command kInspectCommand = {
    "inspect",
    kOptBuild | kOptScreen | kOptAt,
    "skintool inspect [--skin PATH]... [--take-from PATH[:GROUPS]]...\n"
    "                  [--import NAME=FILE]... [--import-dir DIR] [--fit MODE]\n"
    "                  [--replace-colour 0xAAAA=0xBBBB]... [--recolour DH[,DS[,DL]]]\n"
    "                  [--screen N] --at X,Y [--at X,Y]...",
    "Tells what draws a pixel of the preview (266 x 490, as render draws it at\n"
    "zoom 1): one line per answer, for each point in the order given.\n"
    "\n"
    "  X,Y element [SECTION]       an element record whose numbers place the drawing\n"
    "  X,Y colour [SECTION] key    the colour field whose value the pixel shows\n"
    "  X,Y picture NAME            the skin picture whose pixel it shows\n"
    "\n"
    "Element lines come first, in file order, then at most one colour or picture\n"
    "line. A pixel of a picture in key green shows what lies under it. The hinge,\n"
    "the margin, the built-in sample game icon and white texts have no colour or\n"
    "picture; a point without any answer prints nothing.\n"
    "\n"
    "  --skin, --take-from, --import, --import-dir, --fit, --replace-colour,\n"
    "  --recolour        build the skin, as for convert\n"
    "  --screen N        the preview screen, 0 to 13 (default 0, the file browser)\n"
    "  --at X,Y          a point of the preview, X from 0 to 265, Y from 0 to 489\n"
    "\n"
    "Example:\n"
    "  skintool inspect --skin myskin --screen 2 --at 60,380 --at 132,250\n",
    Inspect,
};
