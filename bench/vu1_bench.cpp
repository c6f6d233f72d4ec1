// VU1 micro-program throughput: a vertex transform loop (load, multiply by
// a 4x4 matrix through the accumulator, store, count down and branch) run by
// vu1Run, in instruction pairs. The last vertex is checked against the same
// arithmetic done on the host, which is also the native counterpart.
#include <cstring>

#include "bench.h"
#include "machine/emulation.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "vu/vu1_micro.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 kVertices = 256;
constexpr u32 kOutputQuadword = 512;
constexpr int kProgramRuns = 20000;
constexpr int kCountedProgramRuns = 200;
constexpr u32 kPairsPerRun = kVertices * 6 + 2;

constexpr u32 kUpperNop = 0x2B;  // MAX with an empty dest mask
constexpr u32 kLowerNop = 0x10000000;  // IADDIU VI0, VI0, 0
constexpr u32 kEnd = 0x40000000;
constexpr u32 kXyzw = 0xFu << 21;

constexpr u32 upper(u32 ft, u32 fs, u32 fd, u32 function) { return kXyzw | ft << 16 | fs << 11 | fd << 6 | function; }
constexpr u32 lowerGroup(u32 t, u32 s, u32 row, u32 function) {
    return 0x40u << 25 | kXyzw | t << 16 | s << 11 | row << 6 | function;
}

// VI1 input quadword, VI2 output quadword, VI3 vertices left; VF1..VF4 the
// matrix columns.
constexpr u32 kProgram[][2] = {
    {lowerGroup(5, 1, 0x0D, 0x3C), kUpperNop},         // LQI VF5, (VI1++)
    {0x09u << 25 | 3 << 16 | 3 << 11 | 1, upper(5, 1, 6, 0x3C)},  // ISUBIU VI3, VI3, 1 / MULAx ACC, VF1, VF5x
    {kLowerNop, upper(5, 2, 2, 0x3D)},                 // MADDAy ACC, VF2, VF5y
    {kLowerNop, upper(5, 3, 2, 0x3E)},                 // MADDAz ACC, VF3, VF5z
    {0x29u << 25 | 3 << 16 | (0x7FF & -5), upper(5, 4, 6, 0x0B)},  // IBNE VI3, VI0, loop / MADDw VF6, VF4, VF5w
    {lowerGroup(2, 6, 0x0D, 0x3D), kUpperNop},         // SQI VF6, (VI2++) in the delay slot
    {kLowerNop, kUpperNop | kEnd},
    {kLowerNop, kUpperNop},
};

constexpr float kMatrix[4][4] = {{0.5f, 1.25f, -2.0f, 0.0f}, {3.0f, 0.75f, 1.5f, 0.0f},
                                 {-1.0f, 2.5f, 0.25f, 0.0f}, {10.0f, -20.0f, 30.0f, 1.0f}};

float vertexLane(u32 vertex, unsigned lane) {
    const float values[4] = {float(vertex), float(vertex) * 0.5f, -float(vertex), 1.0f};
    return values[lane];
}

void setUp() {
    if (memory.ram == nullptr) emuInit();
    for (u32 i = 0; i < std::size(kProgram); ++i) {
        hostStore<u32>(vu1.microMem + 8 * i, kProgram[i][0]);
        hostStore<u32>(vu1.microMem + 8 * i + 4, kProgram[i][1]);
    }
    for (u32 v = 0; v < kVertices; ++v)
        for (unsigned lane = 0; lane < 4; ++lane) hostStore<float>(vu1.dataMem + 16 * v + 4 * lane, vertexLane(v, lane));
    for (unsigned column = 0; column < 4; ++column)
        for (unsigned lane = 0; lane < 4; ++lane) vu1.vf[1 + column].f[lane] = kMatrix[column][lane];
    std::memset(vu1.dataMem + 16 * kOutputQuadword, 0, 16 * kVertices);
}

void runProgram(int times) {
    for (int i = 0; i < times; ++i) {
        vu1.vi[1] = 0;
        vu1.vi[2] = kOutputQuadword;
        vu1.vi[3] = kVertices;
        vu1.tpc = 0;
        vu1Run();
    }
}

// The unit's rounding: MULA rounds its product, each MADD rounds the sum.
float transformedLane(const float vertex[4], unsigned lane) {
    float acc = static_cast<float>(double(kMatrix[0][lane]) * vertex[0]);
    for (unsigned column = 1; column < 4; ++column)
        acc = static_cast<float>(double(acc) + double(kMatrix[column][lane]) * vertex[column]);
    return acc;
}

bool lastVertexRight() {
    const u32 v = kVertices - 1;
    const float vertex[4] = {vertexLane(v, 0), vertexLane(v, 1), vertexLane(v, 2), vertexLane(v, 3)};
    for (unsigned lane = 0; lane < 4; ++lane)
        if (hostLoad<float>(vu1.dataMem + 16 * (kOutputQuadword + v) + 4 * lane) != transformedLane(vertex, lane))
            return false;
    return true;
}

BenchRun transformRun() {
    setUp();
    BenchRun run;
    const double start = threadSeconds();
    runProgram(kProgramRuns);
    run.seconds = threadSeconds() - start;
    run.units = double(kProgramRuns) * kPairsPerRun;
    run.correct = lastVertexRight() && vu1.tpc == 8 * std::size(kProgram);
    return run;
}

double transformCount() {
    setUp();
    beginCounting();
    runProgram(kCountedProgramRuns);
    endCounting();
    return double(kCountedProgramRuns) * kPairsPerRun;
}

// The same loads, transforms and stores on host arrays.
double transformNativeSeconds() {
    static float input[kVertices][4];
    static float output[kVertices][4];
    for (u32 v = 0; v < kVertices; ++v)
        for (unsigned lane = 0; lane < 4; ++lane) input[v][lane] = vertexLane(v, lane);
    const double start = threadSeconds();
    for (int run = 0; run < kProgramRuns; ++run) {
        for (u32 v = 0; v < kVertices; ++v)
            for (unsigned lane = 0; lane < 4; ++lane) output[v][lane] = transformedLane(input[v], lane);
        // Keeps the compiler from running the identical passes only once.
        asm volatile("" : : "r"(output) : "memory");
    }
    return threadSeconds() - start;
}

const BenchWorkload kTransform{"vu1", "pairs", transformRun, transformCount, transformNativeSeconds};

}  // namespace

const BenchWorkload& vu1TransformWorkload() { return kTransform; }
