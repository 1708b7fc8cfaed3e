#include <fstream>
#include <istream>

#include "support/PrintServer.h"

namespace vxtest {

namespace {

// Skips blanks and "#" comment lines (Ghostscript names itself in one) before the next field.
void SkipBlanksAndComments(std::istream& aIn) {
  for (;;) {
    aIn >> std::ws;
    if (aIn.peek() != '#') return;
    std::string comment;
    std::getline(aIn, comment);
  }
}

}  // namespace

bool ReadGreyImage(const std::filesystem::path& aFile, GreyImage& aImage, std::string& aWhy) {
  std::ifstream in(aFile, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic;
  SkipBlanksAndComments(in);
  in >> aImage.width;
  SkipBlanksAndComments(in);
  in >> aImage.height;
  SkipBlanksAndComments(in);
  in >> maxValue;
  in.get();
  if (magic != "P5" || aImage.width <= 0 || aImage.height <= 0 || maxValue != 255) {
    aWhy = "the renderer wrote no grey image";
    return false;
  }
  aImage.pixels.resize(static_cast<size_t>(aImage.width) * aImage.height);
  in.read(reinterpret_cast<char*>(aImage.pixels.data()), static_cast<std::streamsize>(aImage.pixels.size()));
  if (!in) aWhy = "the grey image is cut short";
  return static_cast<bool>(in);
}

std::string RenderCommand(const std::string& aDocument, int aDpi, const std::string& aInput,
                          const std::string& aOutput) {
  const std::string dpi = std::to_string(aDpi);
  if (aDocument.rfind("%PDF", 0) == 0) {
    // pdftoppm adds ".pgm" to the name it is given.
    std::string base = aOutput.size() > 4 ? aOutput.substr(0, aOutput.size() - 4) : aOutput;
    return "pdftoppm -gray -singlefile -r " + dpi + " '" + aInput + "' '" + base + "'";
  }
  if (aDocument.rfind("%!", 0) == 0) {
    return "gs -q -dSAFER -dBATCH -dNOPAUSE -dFirstPage=1 -dLastPage=1 -sDEVICE=pgmraw -r" + dpi + " -sOutputFile='" +
           aOutput + "' '" + aInput + "'";
  }
  return "";
}

}  // namespace vxtest
