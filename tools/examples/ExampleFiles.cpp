#include "ExampleFiles.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "tools/jwwriter/JwWriter.h"

namespace pallowin::examples {
namespace {

using namespace pallowin::jwwriter;

// Pen colours and line types as a JW_CAD user picks them.
enum Pen : std::uint8_t { Cyan = 1, White = 2, Green = 3, Yellow = 4, Magenta = 5, Blue = 6, Red = 7 };
enum Type : std::uint8_t { Solid = 1, Dotted = 2, Dashed = 4, DashDot = 5, DashDotDot = 7, FineDot = 9 };

// Layers of the floor plan: group 0 holds the building, group 1 the wiring.
constexpr std::uint8_t WallLayer = LayerOf(0, 0);
constexpr std::uint8_t OpeningLayer = LayerOf(0, 1);
constexpr std::uint8_t FurnitureLayer = LayerOf(0, 2);
constexpr std::uint8_t TextLayer = LayerOf(0, 3);
constexpr std::uint8_t DimensionLayer = LayerOf(0, 4);
constexpr std::uint8_t GridLayer = LayerOf(0, 5);
constexpr std::uint8_t ConstructionLayer = LayerOf(0, 6);  // hidden
constexpr std::uint8_t WiringLayer = LayerOf(1, 0);        // hidden with its group

struct Span {
    float from, to;
};

// A wall of two faces along x between y0 and y1, with openings: each piece
// between openings gets both faces and closed ends (jambs).
void HorizontalWall(DrawingSpec& d, float y0, float y1, float x0, float x1,
                    std::initializer_list<Span> openings) {
    float start = x0;
    auto piece = [&](float a, float b) {
        d.lines.push_back(Line(a, y0, b, y0, White, Solid, WallLayer));
        d.lines.push_back(Line(a, y1, b, y1, White, Solid, WallLayer));
        d.lines.push_back(Line(a, y0, a, y1, White, Solid, WallLayer));
        d.lines.push_back(Line(b, y0, b, y1, White, Solid, WallLayer));
    };
    for (Span o : openings) {
        piece(start, o.from);
        start = o.to;
    }
    piece(start, x1);
}

void VerticalWall(DrawingSpec& d, float x0, float x1, float y0, float y1,
                  std::initializer_list<Span> openings) {
    float start = y0;
    auto piece = [&](float a, float b) {
        d.lines.push_back(Line(x0, a, x0, b, White, Solid, WallLayer));
        d.lines.push_back(Line(x1, a, x1, b, White, Solid, WallLayer));
        d.lines.push_back(Line(x0, a, x1, a, White, Solid, WallLayer));
        d.lines.push_back(Line(x0, b, x1, b, White, Solid, WallLayer));
    };
    for (Span o : openings) {
        piece(start, o.from);
        start = o.to;
    }
    piece(start, y1);
}

void Rectangle(DrawingSpec& d, float x0, float y0, float x1, float y1, Pen pen, Type type,
               std::uint8_t layer) {
    d.lines.push_back(Line(x0, y0, x1, y0, pen, type, layer));
    d.lines.push_back(Line(x1, y0, x1, y1, pen, type, layer));
    d.lines.push_back(Line(x1, y1, x0, y1, pen, type, layer));
    d.lines.push_back(Line(x0, y1, x0, y0, pen, type, layer));
}

// A window in a wall along x: glass as three lines across the opening.
void Window(DrawingSpec& d, float y0, float y1, Span at) {
    const float mid = (y0 + y1) / 2;
    for (float y : {y0, mid, y1}) d.lines.push_back(Line(at.from, y, at.to, y, Green, Solid, OpeningLayer));
}

// A hinged door: the leaf standing open at leafDeg and its swing as a
// quarter arc from arcFromDeg.
void Door(DrawingSpec& d, float hingeX, float hingeY, float width, double arcFromDeg, double leafDeg) {
    const double rad = leafDeg * 3.14159265358979323846 / 180;
    const auto leafX = static_cast<float>(hingeX + width * std::cos(rad));
    const auto leafY = static_cast<float>(hingeY + width * std::sin(rad));
    d.lines.push_back(Line(hingeX, hingeY, leafX, leafY, Cyan, Solid, OpeningLayer));
    d.arcs.push_back(Arc(hingeX, hingeY, width, arcFromDeg, arcFromDeg + 90, 1.0, 0, Cyan, Solid, OpeningLayer));
}

// A horizontal dimension: extension lines, the dimension line, end points
// and the figure written above it.
void Dimension(DrawingSpec& d, float x0, float x1, float y, float from, const std::string& figure) {
    d.lines.push_back(Line(x0, from, x0, y - 3, Magenta, Dotted, DimensionLayer));
    d.lines.push_back(Line(x1, from, x1, y - 3, Magenta, Dotted, DimensionLayer));
    d.lines.push_back(Line(x0, y, x1, y, Magenta, Solid, DimensionLayer));
    d.points.push_back(Point(x0, y, Red, DimensionLayer));
    d.points.push_back(Point(x1, y, Red, DimensionLayer));
    const float width = 3.0f * static_cast<float>(figure.size());
    const float mid = (x0 + x1) / 2;
    d.texts.push_back(Text(mid - width / 2, y + 2, mid + width / 2, y + 2, DimensionLayer));
    d.textStrings.push_back(figure);
}

void Label(DrawingSpec& d, float x, float y, float width, const std::string& text) {
    d.texts.push_back(Text(x, y, x + width, y, TextLayer));
    d.textStrings.push_back(text);
}

// A one-storey house, 1:100: living and dining room, bedroom, bath and WC.
std::vector<std::uint8_t> FloorPlan() {
    DrawingSpec d;
    d.memo = "\x96\xd8\x91\xa2\x95\xbd\x89\xae \x95\xbd\x96\xca\x90\x7d S=1/100";  // timber house, plan
    d.longLayout = true;

    // Grid axes first, as the CAD user draws them.
    for (float x : {82.5f, 252.5f, 437.5f})
        d.lines.push_back(Line(x, 45, x, 330, Blue, DashDot, GridLayer));
    for (float y : {72.5f, 202.5f, 307.5f})
        d.lines.push_back(Line(60, y, 460, y, Blue, DashDot, GridLayer));

    HorizontalWall(d, 70, 75, 80, 440, {{130, 160}});
    HorizontalWall(d, 305, 310, 80, 440, {{120, 200}, {300, 400}});
    VerticalWall(d, 80, 85, 75, 305, {{130, 180}});
    VerticalWall(d, 435, 440, 75, 305, {});
    VerticalWall(d, 250, 255, 75, 305, {{240, 270}, {120, 150}});
    HorizontalWall(d, 200, 205, 255, 435, {{380, 410}});
    VerticalWall(d, 320, 325, 75, 200, {});

    Window(d, 305, 310, {120, 200});
    Window(d, 305, 310, {300, 400});
    // A window on the west wall, drawn along y.
    for (float x : {80.0f, 82.5f, 85.0f}) d.lines.push_back(Line(x, 130, x, 180, Green, Solid, OpeningLayer));

    Door(d, 130, 75, 30, 0, 90);      // entrance, swinging in
    Door(d, 255, 240, 30, 0, 0);      // bedroom
    Door(d, 380, 200, 30, 270, 270);  // bath
    Door(d, 255, 120, 30, 0, 0);      // WC

    // Furniture and fittings.
    d.arcs.push_back(Arc(165, 140, 32, 0, 0, 0.6, 0, Yellow, Solid, FurnitureLayer));  // dining table
    for (float x : {140.0f, 165.0f, 190.0f}) {
        d.arcs.push_back(Circle(x, 112, 6, Yellow, Solid, FurnitureLayer));
        d.arcs.push_back(Circle(x, 168, 6, Yellow, Solid, FurnitureLayer));
    }
    Rectangle(d, 95, 250, 125, 295, Yellow, Solid, FurnitureLayer);  // sofa
    Rectangle(d, 300, 220, 390, 290, Yellow, Solid, FurnitureLayer);  // bed
    Rectangle(d, 305, 270, 385, 285, Yellow, Dotted, FurnitureLayer);  // pillow
    Rectangle(d, 385, 90, 430, 150, Yellow, Solid, FurnitureLayer);   // bath tub
    d.arcs.push_back(Arc(407.5f, 120, 25, 0, 0, 0.6, 90, Yellow, Solid, FurnitureLayer));
    d.arcs.push_back(Arc(290, 92, 12, 0, 0, 0.7, 90, Yellow, Solid, FurnitureLayer));  // WC pan
    Rectangle(d, 282, 78, 298, 84, Yellow, Solid, FurnitureLayer);
    d.arcs.push_back(Arc(300, 192, 8, 180, 360, 1.0, 0, Yellow, Solid, FurnitureLayer));  // basin
    Rectangle(d, 90, 185, 150, 200, Yellow, Solid, FurnitureLayer);  // kitchen counter
    d.arcs.push_back(Circle(120, 192.5f, 5, Yellow, Solid, FurnitureLayer));

    // Site boundary and a north arrow.
    Rectangle(d, 40, 30, 480, 340, White, Dashed, WallLayer);
    d.arcs.push_back(Circle(495, 320, 12, Cyan, Solid, TextLayer));
    d.lines.push_back(Line(495, 308, 495, 332, Cyan, Solid, TextLayer));
    d.lines.push_back(Line(491, 326, 495, 332, Cyan, Solid, TextLayer));
    d.lines.push_back(Line(499, 326, 495, 332, Cyan, Solid, TextLayer));

    Label(d, 140, 230, 50, "\x8b\x8f\x8a\xd4\x81\x45\x90\x48\x93\xb0");  // living and dining
    Label(d, 400, 240, 20, "\x97\x6d\x8e\xba");                          // bedroom
    Label(d, 330, 150, 20, "\x97\x81\x8e\xba");                          // bath
    Label(d, 280, 160, 20, "\x95\xd6\x8f\x8a");                          // WC
    Label(d, 170, 88, 20, "\x8c\xba\x8a\xd6");                           // entrance
    Label(d, 491, 336, 8, "\x96\x6b");                                   // north

    Dimension(d, 82.5f, 252.5f, 55, 70, "1700");
    Dimension(d, 252.5f, 437.5f, 55, 70, "1850");
    Dimension(d, 82.5f, 437.5f, 42, 55, "3550");

    // Construction lines the user kept on a hidden layer.
    for (float y : {120.0f, 160.0f, 240.0f, 270.0f})
        d.lines.push_back(Line(60, y, 460, y, Cyan, Dashed, ConstructionLayer));
    d.points.push_back(Point(165, 140, Magenta, ConstructionLayer));
    d.points.push_back(Point(345, 255, Magenta, ConstructionLayer));

    // Lights and wiring, in a group the user switched off.
    for (auto [x, y] : {std::pair{165.0f, 210.0f}, {345.0f, 255.0f}, {345.0f, 140.0f}}) {
        d.arcs.push_back(Circle(x, y, 5, Green, Solid, WiringLayer));
        d.lines.push_back(Line(x - 3.5f, y - 3.5f, x + 3.5f, y + 3.5f, Green, Solid, WiringLayer));
        d.lines.push_back(Line(x - 3.5f, y + 3.5f, x + 3.5f, y - 3.5f, Green, Solid, WiringLayer));
    }
    d.lines.push_back(Line(170, 210, 340, 255, Green, DashDotDot, WiringLayer));
    d.lines.push_back(Line(345, 250, 345, 145, Green, DashDotDot, WiringLayer));

    d.layerVisible[ConstructionLayer] = 0;
    d.groupVisible[1] = 0;
    return WriteDrawing(d);
}

// An older drawing in the short layout: a garden shed with its foundation
// piers and the path to it.
std::vector<std::uint8_t> ShedPlan() {
    DrawingSpec d;
    d.memo = "\x95\xa8\x92\x75 \x95\xbd\x96\xca\x90\x7d";  // shed, plan
    d.longLayout = false;
    d.segment = "6097";

    Rectangle(d, 150, 110, 370, 260, White, Solid, WallLayer);
    Rectangle(d, 156, 116, 364, 254, White, Solid, WallLayer);
    // Sliding doors in the front wall.
    d.lines.push_back(Line(200, 112, 250, 112, Cyan, Solid, OpeningLayer));
    d.lines.push_back(Line(210, 114, 260, 114, Cyan, Solid, OpeningLayer));
    // Foundation piers below the floor, hidden lines.
    for (float x : {170.0f, 260.0f, 350.0f})
        for (float y : {130.0f, 240.0f}) d.arcs.push_back(Circle(x, y, 8, Magenta, Dashed, WallLayer));
    // Roof ridge and eaves line.
    d.lines.push_back(Line(140, 185, 380, 185, Yellow, DashDot, GridLayer));
    Rectangle(d, 140, 100, 380, 270, Yellow, FineDot, GridLayer);
    // The stepping stones of the path.
    for (float i = 0; i < 4; ++i)
        d.arcs.push_back(Arc(230 - 12 * i, 90 - 18 * i, 7, 0, 0, 0.7, 30.0 * i, Green, Solid, FurnitureLayer));
    Label(d, 240, 190, 20, "\x95\xa8\x92\x75");  // shed
    Dimension(d, 150, 370, 300, 260, "2200");
    d.points.push_back(Point(260, 185, Red, GridLayer));
    return WriteDrawing(d);
}

// A door symbol from the figure library: 800 mm leaf, swing, frame stubs.
std::vector<std::uint8_t> DoorFigure() {
    FigureSpec f;
    f.memo = "\x95\xd0\x8a\x4a\x82\xab\x8c\xcb 800";  // single hinged door
    f.scale = 0.096f;
    f.originX = 4 + 100 * 0.096f;
    f.originY = 4 + 100 * 0.096f;
    f.lines.push_back(Line(-100, 0, 0, 0, White, Solid));
    f.lines.push_back(Line(-100, -100, 0, -100, White, Solid));
    f.lines.push_back(Line(-100, -100, -100, 0, White, Solid));
    f.lines.push_back(Line(800, 0, 900, 0, White, Solid));
    f.lines.push_back(Line(800, -100, 900, -100, White, Solid));
    f.lines.push_back(Line(900, -100, 900, 0, White, Solid));
    f.lines.push_back(Line(0, 0, 0, 800, Cyan, Solid));
    f.lines.push_back(Line(0, 0, 800, 0, Blue, Dotted));
    f.arcs.push_back(Arc(0, 0, 800, 0, 90, 1.0, 0, Cyan, Solid));
    f.points.push_back(Point(0, 0, 7));
    f.points.push_back(Point(800, 0, 7));
    f.texts.push_back(Text(350, 300, 650, 300));
    f.textStrings.push_back("WD-1");
    return WriteFigure(f);
}

// A washbasin on its counter: an ellipse bowl, the counter and the tap.
std::vector<std::uint8_t> BasinFigure() {
    FigureSpec f;
    f.memo = "\x90\xf4\x96\xca\x8a\xed";  // washbasin
    f.scale = 0.16f;
    f.originX = 50;
    f.originY = 50;
    const float w = 300, h = 250;
    f.lines.push_back(Line(-w, -h, w, -h, White, Solid));
    f.lines.push_back(Line(w, -h, w, h, White, Solid));
    f.lines.push_back(Line(w, h, -w, h, White, Solid));
    f.lines.push_back(Line(-w, h, -w, -h, White, Solid));
    f.arcs.push_back(Arc(0, -20, 220, 0, 0, 0.7, 0, Cyan, Solid));
    f.arcs.push_back(Arc(0, -20, 180, 0, 0, 0.65, 0, Cyan, Dashed));
    f.arcs.push_back(Circle(0, -20, 20, Green, Solid));
    f.lines.push_back(Line(0, 200, 0, 120, Yellow, Solid));
    f.arcs.push_back(Arc(0, 200, 30, 0, 180, 1.0, 0, Yellow, Solid));
    f.lines.push_back(Line(-w - 40, 0, w + 40, 0, Magenta, DashDot));
    f.lines.push_back(Line(0, -h - 40, 0, h + 40, Magenta, DashDot));
    f.points.push_back(Point(0, -20, 7));
    return WriteFigure(f);
}

}  // namespace

std::vector<ExampleFile> ExampleFiles() {
    return {
        {"floorplan.jwc", FloorPlan()},
        {"shed.jwc", ShedPlan()},
        {"door.jwk", DoorFigure()},
        {"basin.jwk", BasinFigure()},
    };
}

}  // namespace pallowin::examples
