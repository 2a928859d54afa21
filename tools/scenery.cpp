// tools/scenery: paints the four tileable backgrounds and the two titles
// ("menu", "morvi"). Depends on paint.h.
#include "tools/paint.h"

namespace {

// ---- [SECTION] rooms --------------------------------------------------------------

// Rooms repeat eight times across the side walls, so every map tiles.
constexpr int ROOM = 512;

Material roomBase()
{
    Material m = makeMaterial(ROOM, ROOM);
    m.forms[0] = PLAIN24;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE32;
    m.depth = 10.0f;
    return m;
}

// Slate tiles in blue-grey with dark grout.
}   // namespace

Material paintSlate()
{
    Material m = roomBase();
    const int tile = 128, grout = 4;
    for (int y = 0; y < ROOM; ++y)
        for (int x = 0; x < ROOM; ++x) {
            float u = x / float(ROOM), v = y / float(ROOM);
            int tx = x / tile, ty = y / tile;
            float lx = x % tile, ly = y % tile;
            float bev = bevel(lx - grout / 2.0f, ly - grout / 2.0f, tile - grout, tile - grout, 7, 7);
            bool inGrout =
                lx < grout / 2.0f || ly < grout / 2.0f || lx >= tile - grout / 2.0f || ly >= tile - grout / 2.0f;
            if (inGrout) bev = 0;
            float tint = hashUnit(tx, ty, 11);
            float layers = fbm(u, v, 4, 16, 5, 701);
            float speck = valueNoise(u, v, 128, 128, 709);
            Rgb slate = mix(Rgb{0.27f, 0.32f, 0.42f}, Rgb{0.36f, 0.4f, 0.47f}, tint);
            Rgb c = inGrout ? Rgb{0.1f, 0.1f, 0.12f} : scale(slate, 0.75f + 0.45f * layers + 0.1f * (speck - 0.5f));
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = inGrout ? 0.05f : 0.15f + 0.65f * bev + 0.15f * layers;
            at(m.specular, x, y) = inGrout ? 0.02f : 0.25f + 0.3f * layers;
        }
    return m;
}

// Warm wooden planks, staggered seams and grain.
Material paintPlanks()
{
    Material m = roomBase();
    m.forms[3] = RLE24;
    const int plank = 64, length = 256;
    for (int y = 0; y < ROOM; ++y)
        for (int x = 0; x < ROOM; ++x) {
            float u = x / float(ROOM), v = y / float(ROOM);
            int row = y / plank;
            int offset = static_cast<int>(hashUnit(row, 0, 21) * 4) * (length / 4);
            int px = (x + offset) % ROOM;
            int piece = px / length;
            float ly = y % plank, lx = px % length;
            float bev = bevel(lx, ly, length, plank, 5, 4);
            float warp = fbm(u, v, 2, 8, 3, 801 + row);
            float ring = 0.5f + 0.5f * std::sin((v * 48 + warp * 6 + hashUnit(row, piece, 23) * 8) * 2 * float(PI));
            float streak = valueNoise(u, v, 4, 256, 809 + piece);
            Rgb wood = mix(Rgb{0.42f, 0.25f, 0.12f}, Rgb{0.62f, 0.42f, 0.22f}, 0.55f * ring + 0.45f * streak);
            wood = scale(wood, 0.85f + 0.3f * hashUnit(row, piece, 29));
            wood = scale(wood, 0.55f + 0.45f * bev);
            put(m.diffuse, x, y, wood);
            at(m.height, x, y) = 0.1f + 0.75f * bev + 0.06f * ring * bev;
            at(m.specular, x, y) = (0.12f + 0.15f * ring) * bev;
        }
    return m;
}

// Teal metal panels with vents, rivets and a glowing trace.
Material paintPanels()
{
    Material m = roomBase();
    m.forms[0] = PLAIN32;
    const int panel = 256;
    for (int y = 0; y < ROOM; ++y)
        for (int x = 0; x < ROOM; ++x) {
            float u = x / float(ROOM), v = y / float(ROOM);
            float lx = x % panel, ly = y % panel;
            float bev = bevel(lx, ly, panel, panel, 10, 10);
            float grime = fbm(u, v, 4, 4, 4, 901);
            Rgb c = scale(Rgb{0.2f, 0.33f, 0.35f}, 0.75f + 0.4f * grime);
            float h = 0.1f + 0.7f * bev;
            float shine = 0.55f + 0.25f * grime;
            // Five vent slots across the lower part of each panel.
            for (int k = 0; k < 5; ++k) {
                float sy = 150 + k * 18;
                if (lx > 40 && lx < 216 && ly > sy && ly < sy + 8) {
                    c = Rgb{0.05f, 0.07f, 0.08f};
                    h = 0.15f;
                    shine = 0.05f;
                }
            }
            // A glowing trace: along the top band, then down at the right.
            bool trace = (std::fabs(ly - 48) < 2.5f && lx > 30 && lx < 200) ||
                         (std::fabs(lx - 200) < 2.5f && ly > 46 && ly < 120);
            float node = dome(lx, ly, 200, 120, 7, 7) + dome(lx, ly, 30, 48, 6, 6);
            if (trace || node > 0) {
                c = Rgb{0.35f, 1.0f, 0.9f};
                h = 0.55f + 0.2f * node;
                shine = 1.0f;
            }
            float rivet = 0;
            for (float cx : {18.0f, panel - 19.0f})
                for (float cy : {18.0f, panel - 19.0f})
                    rivet = std::max(rivet, dome(lx, ly, cx, cy, 6, 6));
            if (rivet > 0) {
                c = scale(Rgb{0.6f, 0.65f, 0.66f}, 0.6f + 0.5f * rivet);
                h += 0.2f * rivet;
                shine = 0.9f;
            }
            float light = bevelLight(lx, ly, panel, panel, 10, 10);
            c = light > 0 ? mix(c, {0.8f, 0.9f, 0.9f}, light) : scale(c, 1 + light);
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(h);
            at(m.specular, x, y) = clamp01(shine * (0.3f + 0.7f * bev));
        }
    return m;
}

// Red brick masonry in running bond.
Material paintMasonry()
{
    Material m = roomBase();
    m.forms[1] = RLE24;   // the one RLE normal map: flat mortar gives it runs
    const int courseH = 32, brickW = 128, mortar = 5;
    for (int y = 0; y < ROOM; ++y)
        for (int x = 0; x < ROOM; ++x) {
            float u = x / float(ROOM), v = y / float(ROOM);
            int course = y / courseH;
            int sx = (x + (course % 2) * (brickW / 2)) % ROOM;
            int piece = sx / brickW;
            float lx = sx % brickW, ly = y % courseH;
            bool inMortar = lx < mortar || ly < mortar;
            float bev = inMortar ? 0 : bevel(lx - mortar, ly - mortar, brickW - mortar, courseH - mortar, 4, 4);
            float clay = fbm(u, v, 8, 8, 4, 1001);
            float tint = hashUnit(course, piece, 31);
            Rgb brick = mix(Rgb{0.5f, 0.16f, 0.1f}, Rgb{0.66f, 0.3f, 0.18f}, tint);
            brick = scale(brick, 0.75f + 0.45f * clay);
            Rgb c = inMortar ? scale(Rgb{0.62f, 0.6f, 0.55f}, 0.8f + 0.3f * clay) : brick;
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = inMortar ? 0.08f : 0.2f + 0.7f * bev + 0.08f * clay;
            at(m.specular, x, y) = inMortar ? 0.03f : 0.08f + 0.1f * clay;
        }
    return m;
}

// ---- [SECTION] titles --------------------------------------------------------------

// The title quad is 36 by 10 world units; 512 x 128 keeps its pixels square.
Material paintMenu()
{
    const int W = 512, H = 128;
    Material m = makeMaterial(W, H);
    m.forms[0] = RLE32;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE24;
    m.depth = 5.0f;
    Field title = makeField(W, H), letters = makeField(W, H), pills = makeField(W, H);
    const double cell = 9;
    drawText(title, "TESSIVAR", (W - textWidth("TESSIVAR", cell)) / 2, 8, cell);
    Field titleBevel = blur(title, 2), shadow = blur(title, 4);
    const int pillW = 56, pillH = 34, gap = 12, pillY = 86;
    const int pillX0 = (W - (7 * pillW + 6 * gap)) / 2;
    int pillOf[W] = {};
    for (int x = 0; x < W; ++x)
        pillOf[x] = -1;
    for (int k = 0; k < 7; ++k) {
        int x0 = pillX0 + k * (pillW + gap);
        for (int x = x0; x < x0 + pillW; ++x)
            pillOf[x] = k;
        std::string s(1, CAPSULE_LETTERS[k]);
        drawText(letters, s, x0 + (pillW - textWidth(s, 3.5)) / 2, pillY + (pillH - 7 * 3.5) / 2, 3.5);
        // Pill: a rectangle with round ends, domed across its height.
        for (int y = pillY; y < pillY + pillH; ++y)
            for (int x = x0; x < x0 + pillW; ++x) {
                float r = pillH / 2.0f, cy = pillY + r;
                float cx = std::clamp(x + 0.5f, x0 + r, x0 + pillW - r);
                float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
                if (d < 1) at(pills, x, y) = std::sqrt(1 - d * d);
            }
    }
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float u = x / float(W), v = y / float(H);
            float brushed = valueNoise(u, v, 4, 96, 1101);
            Rgb c = scale(Rgb{0.07f, 0.09f, 0.18f}, 0.8f + 0.4f * brushed);
            c = scale(c, 1 - 0.6f * at(shadow, x - 3, y - 3));
            float h = 0.1f + 0.02f * brushed, shine = 0.2f;
            float t = at(title, x, y);
            if (t > 0) {
                float b = at(titleBevel, x, y);
                Rgb gold = mix(Rgb{0.55f, 0.35f, 0.08f}, Rgb{1.0f, 0.85f, 0.35f}, b);
                gold = mix(gold, Rgb{1, 0.97f, 0.85f}, clamp01(1 - v * 3.5f) * 0.5f);
                c = mix(c, gold, t);
                h += 0.8f * b * t;
                shine = 0.2f + 0.7f * t;
            }
            float p = at(pills, x, y);
            if (p > 0 && pillOf[x] >= 0) {
                Rgb body = scale(CAPSULE_COLOURS[pillOf[x]], 0.45f + 0.65f * p);
                float l = at(letters, x, y);
                c = mix(body, Rgb{1, 1, 0.95f}, l);
                h = 0.1f + 0.5f * p + 0.15f * l;
                shine = 0.8f;
            }
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(h);
            at(m.specular, x, y) = clamp01(shine);
        }
    return m;
}

// Splash logo: an orb with a ring above the word MORVI and a row of bricks.
Material paintMorvi()
{
    const int N = 512;
    Material m = makeMaterial(N, N);
    m.forms[0] = RLE32;
    m.forms[1] = PLAIN24;
    m.forms[2] = RLE24;
    m.forms[3] = RLE32;
    m.depth = 8.0f;
    Field word = makeField(N, N);
    const double cell = 14;
    drawText(word, "MORVI", (N - textWidth("MORVI", cell)) / 2, 318, cell);
    Field wordBevel = blur(word, 3), glow = blur(blur(word, 8), 8);
    const Rgb brickColours[7] = {{0.9f, 0.1f, 0.1f},  {0.1f, 0.2f, 0.9f}, {1, 0.5f, 0.05f},     {0.8f, 0.2f, 0.8f},
                                 {0.1f, 0.85f, 0.2f}, {0.4f, 0.5f, 1},    {0.95f, 0.95f, 0.95f}};
    const float orbX = 256, orbY = 170, orbR = 92;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float dx = x + 0.5f - 256, dy = y + 0.5f - 240;
            float radial = std::sqrt(dx * dx + dy * dy) / 360;
            Rgb c = mix(Rgb{0.2f, 0.08f, 0.3f}, Rgb{0.01f, 0.0f, 0.03f}, clamp01(radial));
            float h = 0.05f, shine = 0.1f;
            c = mix(c, Rgb{0.9f, 0.5f, 1.0f}, 0.35f * at(glow, x, y));
            // Orb, lit from the upper left.
            float orb = dome(x + 0.5f, y + 0.5f, orbX, orbY, orbR, orbR);
            if (orb > 0) {
                float ox = (x + 0.5f - orbX) / orbR, oy = (y + 0.5f - orbY) / orbR;
                float lambert = clamp01(-0.45f * ox - 0.55f * oy + 0.7f * orb);
                float highlight = std::pow(clamp01(1 - std::hypot(ox + 0.35f, oy + 0.4f) * 2.2f), 2.0f);
                Rgb orbC = mix(Rgb{0.05f, 0.25f, 0.55f}, Rgb{0.35f, 0.75f, 1.0f}, lambert);
                c = mix(orbC, Rgb{1, 1, 1}, highlight);
                h = 0.2f + 0.6f * orb;
                shine = 0.9f;
            }
            // Tilted ring about the orb, passing behind it at the top.
            float rx = (x + 0.5f - orbX) / 150, ry = (y + 0.5f - orbY) / 42;
            float ring = 1 - smoothstep(0.03f, 0.07f, std::fabs(std::sqrt(rx * rx + ry * ry) - 1));
            if (ring > 0 && (orb == 0 || y > orbY)) {
                c = mix(c, Rgb{1.0f, 0.8f, 0.3f}, ring);
                h = std::max(h, 0.3f + 0.5f * ring);
                shine = 0.8f;
            }
            float w = at(word, x, y);
            if (w > 0) {
                float b = at(wordBevel, x, y);
                c = mix(c, mix(Rgb{0.75f, 0.75f, 0.85f}, Rgb{1, 1, 1}, b), w);
                h = 0.1f + 0.8f * b * w;
                shine = 0.9f;
            }
            // Seven bricks in the game's colours under the word.
            const float by0 = 446, bh = 22, bw = 50, gap = 8, bx0 = (N - (7 * bw + 6 * gap)) / 2;
            if (y >= by0 && y < by0 + bh && x >= bx0) {
                int k = static_cast<int>((x - bx0) / (bw + gap));
                float lx = x - bx0 - k * (bw + gap);
                if (k < 7 && lx < bw) {
                    float bev = bevel(lx, y - by0, bw, bh, 4, 4);
                    c = scale(brickColours[k], 0.55f + 0.45f * bev);
                    h = 0.1f + 0.6f * bev;
                    shine = 0.6f;
                }
            }
            put(m.diffuse, x, y, c);
            at(m.height, x, y) = clamp01(h);
            at(m.specular, x, y) = clamp01(shine);
        }
    return m;
}
