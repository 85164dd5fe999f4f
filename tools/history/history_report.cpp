#include "tools/history/history_report.h"

#include <cmath>

#include "tools/cli/numbers.h"
#include "tools/imaging/image.h"

namespace {

// A float as the shortest decimal that reads back to it; infinities and not-a-number
// by name.
std::string number(float v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "+inf" : "-inf";
  return shortestDecimal(v);
}

Json numberJson(float v) {
  return std::isfinite(v) ? floatJson(v) : Json(number(v));
}

std::string rgb(Color c) {
  return "(" + number(c.x) + ", " + number(c.y) + ", " + number(c.z) + ")";
}

std::string vec(Vec3 v) {
  return "(" + number(v.x) + ", " + number(v.y) + ", " + number(v.z) + ")";
}

Json rgbJson(Color c) {
  return {numberJson(c.x), numberJson(c.y), numberJson(c.z)};
}

Json vecJson(Vec3 v) {
  return {numberJson(v.x), numberJson(v.y), numberJson(v.z)};
}

std::string bits(Color c) {
  const Rgb b = to8Bit(c);
  return std::to_string(b.r) + " " + std::to_string(b.g) + " " + std::to_string(b.b);
}

// Where a polygon came from: its mesh and place in it, counted from 1; for a model, the
// file's face and the material.
std::string polygonText(const PolygonName& p, const std::optional<ModelSummary>& model) {
  std::string text =
      "mesh " + std::to_string(p.mesh + 1) + ", polygon " + std::to_string(p.polygon + 1);
  if (!model || std::size_t(p.mesh) >= model->sources.size()) return text;
  const MeshSource& mesh = model->sources[std::size_t(p.mesh)];
  const FaceSource& face = mesh.faces[std::size_t(p.polygon)];
  text += ": face " + std::to_string(face.number) + " of the file";
  if (face.line > 0) text += " (line " + std::to_string(face.line) + ")";
  text += mesh.material.empty() ? ", no material" : ", material \"" + mesh.material + "\"";
  return text;
}

Json polygonJson(const PolygonName& p, const std::optional<ModelSummary>& model) {
  Json json = {{"mesh", p.mesh + 1}, {"polygon", p.polygon + 1}};
  if (!model || std::size_t(p.mesh) >= model->sources.size()) return json;
  const MeshSource& mesh = model->sources[std::size_t(p.mesh)];
  const FaceSource& face = mesh.faces[std::size_t(p.polygon)];
  json["face"] = face.number;
  if (face.line > 0) json["line"] = face.line;
  json["material"] = mesh.material.empty() ? Json(nullptr) : Json(mesh.material);
  return json;
}

std::string sampleText(const TextureSample& s) {
  const Footprint& f = s.footprint;
  std::string text = "  s " + number(s.s) + ", t " + number(s.t);
  if (s.sWrapped != s.s || s.tWrapped != s.t) {
    text += " (wrapped: " + number(s.sWrapped) + ", " + number(s.tWrapped) + ")";
  }
  text += "\n  footprint: per pixel ds " + number(f.a) + " dt " + number(f.b) +
          ", per scanline ds " + number(f.c) + " dt " + number(f.d) + "; area " + number(f.area) +
          " texels, level " + number(f.level) + "\n";
  if (!s.mipmaps) {
    text += "  mipmapping off: the nearest texel of level 0\n";
  } else if (s.levels.empty()) {
    return text + "  level not a number: black, from no texel\n";
  } else if (s.levels[0].count == 1) {
    text += "  level " + number(s.level) + ", not above 0: the nearest texel of level 0\n";
  } else {
    text += "  level " + number(s.level);
    if (s.sampledLevel != s.level) text += ", past the last: sampled at " + number(s.sampledLevel);
    text += "\n";
  }
  for (const LevelSample& level : s.levels) {
    if (level.count == 4) {
      text +=
          "    level " + std::to_string(level.level) + ", weight " + number(level.weight) + ":\n";
    }
    for (int i = 0; i < level.count; ++i) {
      const LevelTexel& texel = level.texels[std::size_t(i)];
      text += "      texel (" + std::to_string(texel.x) + ", " + std::to_string(texel.y) + ") " +
              rgb(texel.color) + " x " + number(level.weights[std::size_t(i)]) + "\n";
    }
  }
  return text;
}

Json sampleJson(const TextureSample& s) {
  const Footprint& f = s.footprint;
  Json levels = Json::array();
  for (const LevelSample& level : s.levels) {
    Json texels = Json::array();
    for (int i = 0; i < level.count; ++i) {
      const LevelTexel& texel = level.texels[std::size_t(i)];
      texels.push_back({{"x", texel.x},
                        {"y", texel.y},
                        {"color", rgbJson(texel.color)},
                        {"weight", floatJson(level.weights[std::size_t(i)])}});
    }
    levels.push_back({{"level", level.level},
                      {"weight", floatJson(level.weight)},
                      {"nearest", level.count == 1},
                      {"texels", texels}});
  }
  return {{"s", numberJson(s.s)},
          {"t", numberJson(s.t)},
          {"sWrapped", numberJson(s.sWrapped)},
          {"tWrapped", numberJson(s.tWrapped)},
          {"footprint",
           {{"dsPerPixel", numberJson(f.a)},
            {"dtPerPixel", numberJson(f.b)},
            {"dsPerScanline", numberJson(f.c)},
            {"dtPerScanline", numberJson(f.d)},
            {"area", numberJson(f.area)},
            {"level", numberJson(f.level)}}},
          {"mipmaps", s.mipmaps},
          {"level", numberJson(s.level)},
          {"sampledLevel", numberJson(s.sampledLevel)},
          {"levels", levels}};
}

std::string highlightText(const HighlightTerms& h) {
  if (!h.lit) return "  highlight: none (a normal or a direction of no length)\n";
  std::string text = "  highlight: normal " + vec(h.normal) + " at " + vec(h.position) +
                     ", to the viewer " + vec(h.toViewer) + "\n";
  for (std::size_t i = 0; i < h.lights.size(); ++i) {
    const HighlightLight& l = h.lights[i];
    text += "    light " + std::to_string(i + 1) + ": to it " + vec(l.toLight) + ", half-way " +
            vec(l.half) + ", N.H " + number(l.nDotH) + ", (N.H)^shininess " + number(l.k) + "\n";
  }
  return text + "    sum " + rgb(h.result) + "\n";
}

Json highlightJson(const HighlightTerms& h) {
  Json lights = Json::array();
  for (const HighlightLight& l : h.lights) {
    lights.push_back({{"toLight", vecJson(l.toLight)},
                      {"half", vecJson(l.half)},
                      {"nDotH", numberJson(l.nDotH)},
                      {"k", numberJson(l.k)}});
  }
  return {{"lit", h.lit},
          {"normal", vecJson(h.normal)},
          {"position", vecJson(h.position)},
          {"toViewer", vecJson(h.toViewer)},
          {"lights", lights},
          {"sum", rgbJson(h.result)}};
}

std::string fragmentText(const FragmentRecord& f, bool lighting,
                         const std::optional<ModelSummary>& model) {
  std::string text = polygonText(f.polygon, model) + "\n";
  text += "  span: left edge at x " + number(f.leftX) + ", right edge at x " + number(f.rightX) +
          "; columns " + std::to_string(f.firstColumn) + " to " + std::to_string(f.endColumn - 1) +
          ", this pixel " + std::to_string(f.steps) + " steps from the first\n";
  text += "  depth " + number(f.depth) + ", stored before " + number(f.depthBefore) +
          (f.passed ? ": passed\n" : ": failed, not drawn\n");
  if (f.textured) {
    const TextureTerms& t = f.terms;
    text += "  s/w " + number(t.sOverW) + ", t/w " + number(t.tOverW) + ", 1/w " +
            number(t.oneOverW) + "; per pixel " + number(t.sOverWPerPixel) + ", " +
            number(t.tOverWPerPixel) + "; per scanline " + number(t.sOverWPerScanline) + ", " +
            number(t.tOverWPerScanline) + "\n";
    if (f.passed) text += sampleText(f.sample);
  } else {
    text += "  colour " + rgb(f.color) + "\n";
  }
  if (lighting) text += highlightText(f.highlightTerms);
  if (!f.passed) return text;
  return text + "  handed on " + rgb(f.handed) + (f.textured ? " (the texture's colour)" : "") +
         ": " + bits(f.handed) + " in 8 bits\n";
}

Json fragmentJson(const FragmentRecord& f, bool lighting,
                  const std::optional<ModelSummary>& model) {
  const TextureTerms& t = f.terms;
  Json json = polygonJson(f.polygon, model);
  json.update({{"span",
                {{"leftX", numberJson(f.leftX)},
                 {"rightX", numberJson(f.rightX)},
                 {"firstColumn", f.firstColumn},
                 {"lastColumn", f.endColumn - 1},
                 {"steps", f.steps}}},
               {"depth", numberJson(f.depth)},
               {"depthBefore", numberJson(f.depthBefore)},
               {"passed", f.passed},
               {"color", rgbJson(f.color)}});
  if (f.textured) {
    json["terms"] = {{"sOverW", numberJson(t.sOverW)},
                     {"tOverW", numberJson(t.tOverW)},
                     {"oneOverW", numberJson(t.oneOverW)},
                     {"sOverWPerPixel", numberJson(t.sOverWPerPixel)},
                     {"tOverWPerPixel", numberJson(t.tOverWPerPixel)},
                     {"sOverWPerScanline", numberJson(t.sOverWPerScanline)},
                     {"tOverWPerScanline", numberJson(t.tOverWPerScanline)}};
    if (f.passed) json["sample"] = sampleJson(f.sample);
  }
  if (lighting) json["highlight"] = highlightJson(f.highlightTerms);
  if (f.passed) {
    const Rgb b = to8Bit(f.handed);
    json["handed"] = rgbJson(f.handed);
    json["handed8Bit"] = {b.r, b.g, b.b};
  }
  return json;
}

}  // namespace

std::string historyText(const std::vector<PixelHistory>& pixels, bool lighting,
                        const std::optional<ModelSummary>& model) {
  std::string text;
  for (const PixelHistory& p : pixels) {
    const std::size_t n = p.fragments.size();
    text += "pixel " + std::to_string(p.pixel.x) + "," + std::to_string(p.pixel.y) +
            " (from the top left; the pipeline's scanline " + std::to_string(p.windowY) +
            "): " + std::to_string(n) + (n == 1 ? " fragment" : " fragments") + "\n";
    for (std::size_t i = 0; i < n; ++i)
      text += std::to_string(i + 1) + ". " + fragmentText(p.fragments[i], lighting, model);
  }
  return text;
}

Json historyJson(const std::vector<PixelHistory>& pixels, bool lighting,
                 const std::optional<ModelSummary>& model) {
  Json json = Json::array();
  for (const PixelHistory& p : pixels) {
    Json fragments = Json::array();
    for (const FragmentRecord& f : p.fragments)
      fragments.push_back(fragmentJson(f, lighting, model));
    json.push_back(
        {{"x", p.pixel.x}, {"y", p.pixel.y}, {"scanline", p.windowY}, {"fragments", fragments}});
  }
  return json;
}

bool parsePicturePixel(const std::string& text, int width, int height, PicturePixel& pixel,
                       std::string& error) {
  std::vector<long> values;
  if (!parseWholeList(text, "X,Y", {0, 0}, 1L << 30, values, error)) return false;
  if (values[0] >= width || values[1] >= height) {
    error = quoted(text) + " lies outside the " + std::to_string(width) + " x " +
            std::to_string(height) + " picture";
    return false;
  }
  pixel = {int(values[0]), int(values[1])};
  return true;
}
