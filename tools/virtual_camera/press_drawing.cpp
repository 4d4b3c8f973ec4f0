#include "press_drawing.h"

#include "text/french.h"

#include <algorithm>
#include <chrono>

namespace obturix::camera {

namespace {

constexpr int width = 900;
constexpr int labelWidth = 80; // "Appui 12"
constexpr int barsWidth = 420; // the time line
constexpr int textLeft = labelWidth + barsWidth + 20;
constexpr int rowHeight = 22;
constexpr int top = 50;

std::string number(double value) {
  const auto tenths = static_cast<long long>(value * 10 + 0.5);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

} // namespace

std::string drawPresses(const std::vector<Press>& presses) {
  const int height = top + static_cast<int>(presses.size()) * rowHeight + 30;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
                    "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
                    std::to_string(width) + " " + std::to_string(height) +
                    "\" font-family=\"sans-serif\" font-size=\"13\">\n"
                    "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  const std::string count = frenchNumber(static_cast<std::int64_t>(presses.size()));
  svg +=
      "<text x=\"10\" y=\"22\" font-size=\"16\" font-weight=\"bold\">" +
      typeset("Ce que l'appareil a vu : " + count + (presses.size() > 1 ? " appuis" : " appui")) +
      "</text>\n";
  if (presses.empty())
    return svg + "</svg>\n";
  const auto first = presses.front().start;
  const auto last = presses.back().start + presses.back().length;
  const double span = std::max(1.0, static_cast<double>((last - first).count()));
  const double scale = barsWidth / span;
  svg += "<line x1=\"" + std::to_string(labelWidth) + "\" y1=\"" + std::to_string(top - 8) +
         "\" x2=\"" + std::to_string(labelWidth) + "\" y2=\"" + std::to_string(height - 25) +
         "\" stroke=\"black\"/>\n";
  for (std::size_t i = 0; i < presses.size(); ++i) {
    const Press& press = presses[i];
    const int y = top + static_cast<int>(i) * rowHeight;
    const double x = labelWidth + static_cast<double>((press.start - first).count()) * scale;
    const double length = std::max(1.5, static_cast<double>(press.length.count()) * scale);
    const std::string said = lengthAndPause(press);
    svg += "<text x=\"10\" y=\"" + std::to_string(y + 14) + "\">Appui " +
           std::to_string(press.number) + "</text>";
    svg += "<rect x=\"" + number(x) + "\" y=\"" + std::to_string(y + 3) + "\" width=\"" +
           number(length) + "\" height=\"14\" fill=\"black\"/>";
    svg += "<text x=\"" + std::to_string(textLeft) + "\" y=\"" + std::to_string(y + 14) + "\">" +
           said + "</text>\n";
  }
  svg += "<text x=\"" + std::to_string(labelWidth) + "\" y=\"" + std::to_string(height - 8) +
         "\" font-size=\"11\">" +
         typeset("0 : début du premier appui ; la barre de chaque appui à l'échelle de la "
                 "série (" +
                 frenchMilliseconds(last - first) + ")") +
         "</text>\n";
  return svg + "</svg>\n";
}

} // namespace obturix::camera
