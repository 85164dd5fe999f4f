#pragma once

#include <cstddef>
#include <cstdint>

// Every bound a model file meets, in one place: what a file of any size may make the
// program read, hold and do. Each is checked before the work or the allocation it
// bounds; the README's table of limits gives what a model at each costs.

// The most corners a face may have. Scan conversion fills a polygon of any corner count,
// but a face of thousands is a file's mistake far more often than a shape.
inline constexpr int kMostCorners = 4096;

// The largest model file, material library and texture file read at all.
inline constexpr std::size_t kLargestModelFile = std::size_t(1) << 30;
inline constexpr std::size_t kLargestMtlFile = std::size_t(16) << 20;
inline constexpr std::size_t kLargestTextureFile = std::size_t(256) << 20;

// The largest side of a texture read from a file: the largest texture OpenGL takes here.
inline constexpr int kLargestTextureSide = 16384;
// The texels all textures of one model may have together: 4096 x 4096, or any mix.
inline constexpr long long kTexelBudget = 4096LL * 4096;

#ifndef QUADRELLE_SMALL_BUDGETS
// The most corners one model may have, whatever its format: 4,194,304 triangles. The
// whole cost of a model, reading, capturing and drawing it, grows with its corners.
// A glTF file's indices count against it too, at every placement, kept or not.
inline constexpr std::int64_t kMostModelCorners = std::int64_t(3) << 22;
// The most vertices one glTF model may place: a file of a few kilobytes can place one
// large mesh at thousands of nodes.
inline constexpr std::uint64_t kMostGltfVertices = std::uint64_t(1) << 22;
// The most elements one glTF accessor may have.
inline constexpr std::uint64_t kMostAccessorElements = std::uint64_t(1) << 24;
// The most bytes all the buffers and pictures a glTF file names may have together: each
// file beside the model counted once, however many buffers or pictures name it, and each
// data URI as decoded.
inline constexpr std::size_t kLargestGltfFiles = std::size_t(1) << 30;
// The most bytes of JSON a glTF file may have once its data URIs are taken out: far more
// than a scene of a hundred thousand nodes needs, and little enough that its parsed
// form fits in memory.
inline constexpr std::size_t kLargestGltfJson = std::size_t(64) << 20;
#else
// The fuzz target's: small enough that an input of a few kilobytes that allocates
// much is a finding.
inline constexpr std::int64_t kMostModelCorners = std::int64_t(1) << 16;
inline constexpr std::uint64_t kMostGltfVertices = std::uint64_t(1) << 14;
inline constexpr std::uint64_t kMostAccessorElements = std::uint64_t(1) << 16;
inline constexpr std::size_t kLargestGltfFiles = std::size_t(1) << 22;
inline constexpr std::size_t kLargestGltfJson = std::size_t(1) << 20;
#endif
