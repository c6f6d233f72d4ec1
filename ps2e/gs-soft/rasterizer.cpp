// Scan conversion of points, lines, triangles and sprites.
//
// Vertex positions are 12.4 fixed point; XYOFFSET moves them into the
// window. A pixel (x, y) is sampled at the point (x, y) itself: a sprite
// covers the pixels whose sample lies in [X0, X1) x [Y0, Y1), and a
// triangle those whose sample lies inside it or on a top or left edge.
#include <algorithm>
#include <cmath>

#include "ps2e/gs-soft/draw.h"
#include "ps2e/gs-soft/pixel_pipeline.h"

namespace gs {
namespace {

// A point covers the pixel nearest to it.
constexpr int kPointRounding = 8;

struct WindowVertex {
    int x = 0;  // 12.4, window coordinates
    int y = 0;
    const Vertex* source = nullptr;
};

WindowVertex toWindow(const DrawContext& context, const Vertex& vertex) {
    return {static_cast<int>(vertex.x) - context.offsetX, static_cast<int>(vertex.y) - context.offsetY, &vertex};
}

bool insideScissor(const DrawContext& context, int x, int y) {
    return x >= context.scissorLeft && x <= context.scissorRight && y >= context.scissorTop && y <= context.scissorBottom;
}

// The level of detail that chooses between the magnifying and minifying
// filter: K alone when TEX1 LCM fixes it or UV coordinates are in use,
// otherwise log2(1/Q) scaled by 2^L, plus K.
float levelOfDetail(const Vertex& vertex, bool uvCoordinates) {
    const uint64_t tex1 = state.reg[kRegTex1_1 + field(state.reg[kRegPrim], 9, 1)];
    int k = static_cast<int>(field(tex1, 32, 12));
    if (k >= 2048) k -= 4096;
    const float kValue = static_cast<float>(k) / 16.0f;
    if (field(tex1, 0, 1) || uvCoordinates) return kValue;
    const float q = std::fabs(vertex.q);
    if (q == 0.0f) return kValue;
    return -std::log2(q) * static_cast<float>(1u << field(tex1, 19, 2)) + kValue;
}

// The attributes a fragment carries, interpolated or flat.
struct Attributes {
    double r = 0, g = 0, b = 0, a = 0;
    double z = 0;
    double fog = 0;
    double s = 0, t = 0, q = 1;  // ST/Q, or U and V (12.4) in s and t
};

Attributes attributesOf(const DrawContext& context, const Vertex& vertex) {
    Attributes out;
    out.r = vertex.rgba & 0xFF;
    out.g = (vertex.rgba >> 8) & 0xFF;
    out.b = (vertex.rgba >> 16) & 0xFF;
    out.a = vertex.rgba >> 24;
    out.z = vertex.z;
    out.fog = vertex.fog;
    if (context.uvCoordinates) {
        out.s = vertex.u;
        out.t = vertex.v;
    } else {
        out.s = vertex.s;
        out.t = vertex.t;
        out.q = vertex.q;
    }
    return out;
}

// Interpolated colours are truncated; the small bias keeps a value that is
// a whole number at a vertex from falling to the one below through
// rounding in the plane arithmetic.
constexpr double kTruncationBias = 1.0 / 4096;

uint32_t toByte(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<uint32_t>(std::clamp(value + kTruncationBias, 0.0, 255.0));
}

uint32_t toDepth(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<uint32_t>(std::clamp(value, 0.0, 4294967295.0));
}

// Texture coordinates come from guest floats (ST, Q) with no bound: NaN,
// infinities and values far outside any texture are held to
// kTexelCoordinateLimit, and the clamp and wrap modes then treat them like
// any other coordinate outside the texture.
double boundedCoordinate(double value) {
    constexpr double kLimit = kTexelCoordinateLimit;
    return std::isnan(value) ? 0.0 : std::clamp(value, -kLimit, kLimit);
}

int floorToTexelCoordinate(double value) { return static_cast<int>(std::floor(boundedCoordinate(value))); }

// The fragment's colour: shaded colour, texture function, fog.
uint32_t fragmentColour(const DrawContext& context, uint32_t shaded, const Attributes& at) {
    uint32_t colour = shaded;
    if (context.textured) {
        int u16;
        int v16;
        if (context.uvCoordinates) {
            u16 = floorToTexelCoordinate(at.s);
            v16 = floorToTexelCoordinate(at.t);
        } else {
            const double q = at.q == 0.0 ? 1.0 : at.q;
            u16 = floorToTexelCoordinate(at.s / q * context.texture.u.size * 16.0);
            v16 = floorToTexelCoordinate(at.t / q * context.texture.v.size * 16.0);
        }
        colour = applyTextureFunction(context, colour, sampleTexture(context.texture, u16, v16));
    }
    if (context.fogged) colour = applyFog(context, colour, toByte(at.fog));
    return colour;
}

uint32_t packColour(const Attributes& at) {
    return toByte(at.r) | (toByte(at.g) << 8) | (toByte(at.b) << 16) | (toByte(at.a) << 24);
}

void emit(const DrawContext& context, int x, int y, uint32_t flatColour, const Attributes& at) {
    const uint32_t shaded = context.gouraud ? packColour(at) : flatColour;
    drawFragment(context, x, y, fragmentColour(context, shaded, at), toDepth(at.z));
}

Attributes lerp(const Attributes& from, const Attributes& to, double t) {
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    Attributes out;
    out.r = mix(from.r, to.r);
    out.g = mix(from.g, to.g);
    out.b = mix(from.b, to.b);
    out.a = mix(from.a, to.a);
    out.z = mix(from.z, to.z);
    out.fog = mix(from.fog, to.fog);
    out.s = mix(from.s, to.s);
    out.t = mix(from.t, to.t);
    out.q = mix(from.q, to.q);
    return out;
}

void drawPoint(const DrawContext& context, const Vertex& vertex) {
    const WindowVertex p = toWindow(context, vertex);
    const int x = (p.x + kPointRounding) >> 4;
    const int y = (p.y + kPointRounding) >> 4;
    if (!insideScissor(context, x, y)) return;
    emit(context, x, y, vertex.rgba, attributesOf(context, vertex));
}

// Lines step along their major axis one pixel at a time from the pixel
// nearest the first vertex; the last vertex's pixel is left for the next
// line of a strip.
void drawLine(const DrawContext& context, const Vertex& first, const Vertex& second) {
    const WindowVertex p0 = toWindow(context, first);
    const WindowVertex p1 = toWindow(context, second);
    const int x0 = (p0.x + kPointRounding) >> 4;
    const int y0 = (p0.y + kPointRounding) >> 4;
    const int x1 = (p1.x + kPointRounding) >> 4;
    const int y1 = (p1.y + kPointRounding) >> 4;
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    const Attributes from = attributesOf(context, first);
    const Attributes to = attributesOf(context, second);
    for (int i = 0; i < steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const int x = x0 + static_cast<int>(std::lround((x1 - x0) * t));
        const int y = y0 + static_cast<int>(std::lround((y1 - y0) * t));
        if (insideScissor(context, x, y)) emit(context, x, y, second.rgba, lerp(from, to, t));
    }
}

// One attribute as a plane over window pixel coordinates.
struct Plane {
    double atOrigin = 0;
    double dx = 0;
    double dy = 0;
};

Plane planeOf(const WindowVertex* v, const double* values, double det) {
    const double x0 = v[0].x / 16.0, y0 = v[0].y / 16.0;
    const double x1 = v[1].x / 16.0, y1 = v[1].y / 16.0;
    const double x2 = v[2].x / 16.0, y2 = v[2].y / 16.0;
    const double d1 = values[1] - values[0];
    const double d2 = values[2] - values[0];
    Plane plane;
    plane.dx = (d1 * (y2 - y0) - d2 * (y1 - y0)) / det;
    plane.dy = (d2 * (x1 - x0) - d1 * (x2 - x0)) / det;
    plane.atOrigin = values[0] - plane.dx * x0 - plane.dy * y0;
    return plane;
}

constexpr int kPlaneCount = 9;

// The widest row the scissor lets through.
constexpr int kMaxRun = 2048;

void drawTriangle(const DrawContext& context, const Vertex* vertices) {
    WindowVertex v[3] = {toWindow(context, vertices[0]), toWindow(context, vertices[1]), toWindow(context, vertices[2])};
    const uint32_t flatColour = vertices[2].rgba;
    int64_t area = int64_t{v[1].x - v[0].x} * (v[2].y - v[0].y) - int64_t{v[2].x - v[0].x} * (v[1].y - v[0].y);
    if (area == 0) return;
    if (area < 0) {
        std::swap(v[1], v[2]);
        area = -area;
    }
    const int left = std::max(context.scissorLeft, (std::min({v[0].x, v[1].x, v[2].x}) + 15) >> 4);
    const int right = std::min(context.scissorRight, (std::max({v[0].x, v[1].x, v[2].x}) - 1) >> 4);
    const int top = std::max(context.scissorTop, (std::min({v[0].y, v[1].y, v[2].y}) + 15) >> 4);
    const int bottom = std::min(context.scissorBottom, (std::max({v[0].y, v[1].y, v[2].y}) - 1) >> 4);
    if (left > right || top > bottom) return;

    // Edge i runs from vertex i+1 to i+2 and is positive inside. Samples on
    // an edge belong to the triangle only for top edges (horizontal, going
    // right) and left edges (going up).
    struct Edge {
        int64_t stepX, stepY, atRowStart, bias;
    } edges[3];
    for (int i = 0; i < 3; ++i) {
        const WindowVertex& a = v[(i + 1) % 3];
        const WindowVertex& b = v[(i + 2) % 3];
        const int64_t dx = b.x - a.x;
        const int64_t dy = b.y - a.y;
        const bool topLeft = (dy == 0 && dx > 0) || dy < 0;
        edges[i].stepX = -dy * 16;
        edges[i].stepY = dx * 16;
        edges[i].atRowStart = dx * (int64_t{top} * 16 - a.y) - dy * (int64_t{left} * 16 - a.x);
        edges[i].bias = topLeft ? 0 : 1;
    }

    Attributes at[3];
    for (int i = 0; i < 3; ++i) at[i] = attributesOf(context, *v[i].source);
    const double det = static_cast<double>(area) / 256.0;
    Plane planes[kPlaneCount];
    double* fields[3][kPlaneCount];
    for (int i = 0; i < 3; ++i) {
        double* f[kPlaneCount] = {&at[i].r, &at[i].g, &at[i].b, &at[i].a, &at[i].z, &at[i].fog, &at[i].s, &at[i].t, &at[i].q};
        std::copy(f, f + kPlaneCount, fields[i]);
    }
    for (int p = 0; p < kPlaneCount; ++p) {
        const double values[3] = {*fields[0][p], *fields[1][p], *fields[2][p]};
        planes[p] = planeOf(v, values, det);
    }

    const bool runs = context.plainWrites && !context.depthWrite;
    // Only the attributes this primitive uses are stepped along a row:
    // colour when Gouraud, depth when tested or written, fog, texture
    // coordinates.
    int used[kPlaneCount];
    int usedCount = 0;
    for (int p = 0; p < kPlaneCount; ++p) {
        const bool needed = p < 4 ? context.gouraud
                            : p == 4 ? context.depthTest || context.depthWrite
                            : p == 5 ? context.fogged
                                     : context.textured;
        if (needed) used[usedCount++] = p;
    }
    uint32_t colours[kMaxRun];
    for (int y = top; y <= bottom; ++y) {
        int64_t e0 = edges[0].atRowStart, e1 = edges[1].atRowStart, e2 = edges[2].atRowStart;
        edges[0].atRowStart += edges[0].stepY;
        edges[1].atRowStart += edges[1].stepY;
        edges[2].atRowStart += edges[2].stepY;
        // The row's covered samples: a triangle is convex, so one run.
        int x = left;
        while (x <= right && !(e0 >= edges[0].bias && e1 >= edges[1].bias && e2 >= edges[2].bias)) {
            e0 += edges[0].stepX;
            e1 += edges[1].stepX;
            e2 += edges[2].stepX;
            ++x;
        }
        const int start = x;
        while (x <= right && e0 >= edges[0].bias && e1 >= edges[1].bias && e2 >= edges[2].bias) {
            e0 += edges[0].stepX;
            e1 += edges[1].stepX;
            e2 += edges[2].stepX;
            ++x;
        }
        const int end = x;
        if (start >= end) continue;
        if (!context.gouraud && !context.textured && !context.fogged && planes[4].dx == 0.0) {
            drawSpan(context, y, start, end, flatColour, toDepth(planes[4].atOrigin + planes[4].dy * y));
            continue;
        }
        Attributes a;
        double* f[kPlaneCount] = {&a.r, &a.g, &a.b, &a.a, &a.z, &a.fog, &a.s, &a.t, &a.q};
        for (int i = 0; i < usedCount; ++i) {
            const int p = used[i];
            *f[p] = planes[p].atOrigin + planes[p].dx * start + planes[p].dy * y;
        }
        for (int px = start; px < end; ++px) {
            const uint32_t shaded = context.gouraud ? packColour(a) : flatColour;
            const uint32_t fragment = fragmentColour(context, shaded, a);
            if (runs)
                colours[px - start] = fragment;
            else
                drawFragment(context, px, y, fragment, toDepth(a.z));
            for (int i = 0; i < usedCount; ++i) *f[used[i]] += planes[used[i]].dx;
        }
        if (runs) drawPlainRun(context, y, start, colours, end - start, 0);
    }
}

void drawSprite(const DrawContext& context, const Vertex& first, const Vertex& second) {
    WindowVertex p0 = toWindow(context, first);
    WindowVertex p1 = toWindow(context, second);
    Attributes a0 = attributesOf(context, first);
    Attributes a1 = attributesOf(context, second);
    const int left = std::max(context.scissorLeft, (std::min(p0.x, p1.x) + 15) >> 4);
    const int right = std::min(context.scissorRight, ((std::max(p0.x, p1.x) + 15) >> 4) - 1);
    const int top = std::max(context.scissorTop, (std::min(p0.y, p1.y) + 15) >> 4);
    const int bottom = std::min(context.scissorBottom, ((std::max(p0.y, p1.y) + 15) >> 4) - 1);
    if (left > right || top > bottom) return;
    const uint32_t colour = second.rgba;
    const uint32_t z = second.z;
    if (!context.textured && !context.fogged) {
        for (int y = top; y <= bottom; ++y) drawSpan(context, y, left, right + 1, colour, z);
        return;
    }
    // Texture coordinates run linearly from the first corner to the second.
    const double spanX = p1.x - p0.x;
    const double spanY = p1.y - p0.y;
    const double dsdx = spanX != 0 ? (a1.s - a0.s) * 16.0 / spanX : 0;
    const double dtdy = spanY != 0 ? (a1.t - a0.t) * 16.0 / spanY : 0;
    const double dqdx = spanX != 0 ? (a1.q - a0.q) * 16.0 / spanX : 0;
    const int count = right - left + 1;
    uint32_t colours[kMaxRun];
    Attributes at = a1;
    // UV coordinates step in 16.16 fixed point along the row.
    const int64_t uStep = std::llround(boundedCoordinate(dsdx) * 65536.0);
    const int64_t uStart = static_cast<int64_t>(std::floor(boundedCoordinate(a0.s + dsdx * (left - p0.x / 16.0)) * 65536.0));
    const bool uvTextured = context.uvCoordinates && context.textured;
    TextureRowSampler sampler(context.texture, uStart, uStep, uvTextured ? count : 0);
    for (int y = top; y <= bottom; ++y) {
        at.t = a0.t + dtdy * (y - p0.y / 16.0);
        if (uvTextured) {
            const int v16 = floorToTexelCoordinate(at.t);
            sampler.sampleRow(v16, colours);
            if (context.textureFunction != kDecal || !context.textureAlpha)
                for (int i = 0; i < count; ++i) colours[i] = applyTextureFunction(context, colour, colours[i]);
            if (context.fogged)
                for (int i = 0; i < count; ++i) colours[i] = applyFog(context, colours[i], second.fog);
        } else {
            for (int i = 0; i < count; ++i) {
                const int x = left + i;
                at.s = a0.s + dsdx * (x - p0.x / 16.0);
                at.q = a0.q + dqdx * (x - p0.x / 16.0);
                colours[i] = fragmentColour(context, colour, at);
            }
        }
        drawPlainRun(context, y, left, colours, count, z);
    }
}

}  // namespace

void drawPrimitive(uint32_t type, const Vertex* vertices) {
    DrawContext context;
    const bool uv = field(field(state.reg[kRegPrmodecont], 0, 1) ? state.reg[kRegPrim] : state.reg[kRegPrmode], 8, 1);
    makeDrawContext(context, levelOfDetail(vertices[0], uv));
    switch (type) {
    case kPrimPoint:
        drawPoint(context, vertices[0]);
        break;
    case kPrimLine:
    case kPrimLineStrip:
        drawLine(context, vertices[0], vertices[1]);
        break;
    case kPrimSprite:
        drawSprite(context, vertices[0], vertices[1]);
        break;
    default:
        drawTriangle(context, vertices);
        break;
    }
    ++state.generation;
}

}  // namespace gs
