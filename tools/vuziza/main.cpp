// vuziza: geolocation and mensuration on NITF image products from the command line.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

struct Subcommand {
  const char* name;
  int (*run)(const std::vector<std::string>&);
  const char* summary;
  const char* help;
};

const Subcommand SUBCOMMANDS[] = {
    {"info", cli::infoCommand, "list the headers, extensions and segments of a NITF file",
     "usage: vuziza info FILE [--json]\n"
     "\n"
     "Lists the file header, every image subheader with its extensions, every data\n"
     "extension segment, and whether the file is a product (a NITF 2.1 file whose\n"
     "image carries RPC00B and ICHIPB and which holds elevation segments).\n"
     "  --json   one JSON object instead of the listings\n"},
    {"i2g", cli::imageToGroundCommand, "latitude, longitude, elevation, CE90, LE90 of a chip pixel",
     "usage: vuziza i2g FILE [X Y] [--height H] [--full-read] [--json]\n"
     "\n"
     "Maps chip pixel (X = sample, Y = line) of the product FILE to the ground:\n"
     "latitude and longitude in degrees, elevation in metres above the WGS 84\n"
     "ellipsoid, and the 90 % circular (CE90) and linear (LE90) errors in metres.\n"
     "The elevation comes from the product's elevation posts unless --height gives it.\n"
     "Without X Y, points are read from standard input, one \"X Y\" per line.\n"
     "  --height H   solve on the ellipsoid raised by H metres\n"
     "  --full-read  build the model through the complete NITF reading\n"
     "  --json       one JSON object per point\n"},
    {"g2i", cli::groundToImageCommand, "the chip pixel of a ground point",
     "usage: vuziza g2i FILE [LAT LON H] [--full-read] [--json]\n"
     "\n"
     "Maps a ground point (latitude and longitude in degrees, height H in metres\n"
     "above the WGS 84 ellipsoid) to the chip pixel (x = sample, y = line) of the\n"
     "product FILE. Without LAT LON H, points are read from standard input, one per line.\n"
     "  --full-read  build the model through the complete NITF reading\n"
     "  --json       one JSON object per point\n"},
    {"height", cli::heightCommand, "the height of an object from base, top and shadow tip",
     "usage: vuziza height FILE (two of: --base X Y, --top X Y, --shadow X Y)\n"
     "                      [--other FILE2] [--full-read] [--json]\n"
     "\n"
     "Measures the height in metres of a vertical object from two of its points in\n"
     "chip pixels: base and top, base and shadow tip, or top and shadow tip (the\n"
     "latter also gives the latitude and longitude of the top). Shadow measurements\n"
     "use the sun's position at the image date and time.\n"
     "  --other FILE2  the second point (top or shadow tip) is a pixel of FILE2,\n"
     "                 a second product seeing the same object\n"
     "  --full-read    build the models through the complete NITF reading\n"
     "  --json         one JSON object\n"},
    {"chip", cli::chipCommand, "write a part of the image as JPEG",
     "usage: vuziza chip FILE X Y W H OUT.jpg [--image N]\n"
     "\n"
     "Writes the W x H pixels whose upper left corner is pixel (X, Y) of image\n"
     "segment N (from 1, default 1) of FILE as a JPEG file. Pixels outside the image\n"
     "are white.\n"},
    {"quicklook", cli::quicklookCommand, "a reduced image with the elevation posts drawn on it",
     "usage: vuziza quicklook FILE OUT.jpg [--size PIXELS] [--json]\n"
     "\n"
     "Writes the product's image reduced to at most PIXELS (default 1024) on its\n"
     "longer side as a JPEG file, with every elevation post drawn as a dot coloured\n"
     "by its elevation (blue low, red high), and lists the image size, the ground\n"
     "sample distance, the elevation range and the ground coordinates of the four\n"
     "image corners.\n"},
    {"make-product", cli::makeProductCommand, "write a synthetic product with known truth",
     "usage: vuziza make-product OUT.ntf [--form 1|2] [--lat LAT] [--lon LON]\n"
     "                           [--size PIXELS] [--truth FILE] [--json]\n"
     "\n"
     "Writes a product made from a synthetic scene: a frame camera 500 km above\n"
     "(LAT, LON) (default 35, -117) seeing a gently undulating terrain, the RPC00B\n"
     "fitted to it, an ICHIPB of a PIXELS x PIXELS chip (default 1000) and the\n"
     "terrain as elevation posts in payload form 1 (\"DORARI\") or 2 (\"TAV001\",\n"
     "the default). Lists the fit residual and the true ground point of the chip\n"
     "centre; --truth writes the true ground points of a grid of chip pixels, one\n"
     "\"X Y LAT LON ELEVATION\" per line.\n"},
};

void printUsage(std::ostream& out) {
  out << "usage: vuziza SUBCOMMAND [ARGUMENTS] (vuziza SUBCOMMAND --help for more)\n\n"
         "Geolocation and mensuration on NITF image products carrying an RPC00B camera\n"
         "model, an ICHIPB chip record and elevation posts.\n\nsubcommands:\n";
  for (const Subcommand& command : SUBCOMMANDS) {
    std::string name = command.name;
    name.resize(14, ' ');
    out << "  " << name << command.summary << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    printUsage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? 2 : 0;
  }
  const std::vector<std::string> words(argv + 2, argv + argc);
  for (const Subcommand& command : SUBCOMMANDS) {
    if (argv[1] != std::string(command.name)) continue;
    for (const std::string& word : words) {
      if (word == "--help" || word == "-h") {
        std::cout << command.help;
        return 0;
      }
    }
    return command.run(words);
  }
  std::cerr << "vuziza: unknown subcommand \"" << argv[1] << "\" (see vuziza --help)\n";
  return 2;
}
