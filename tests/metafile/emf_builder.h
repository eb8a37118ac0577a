// Builds enhanced metafiles record by record for the converter tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "quillora/platform/emf_format.h"

namespace quillora::testing {

class TEmfBuilder {
 public:
  // Bounds in device pixels (inclusive), handle count of the object table.
  explicit TEmfBuilder(int Right = 793, int Bottom = 1122, int Handles = 16)
      : FRight(Right), FBottom(Bottom), FHandles(Handles) {}

  // A record of 32-bit words after the type and size.
  TEmfBuilder& Rec(uint32_t Type, std::initializer_list<int64_t> Words = {}) {
    std::string R;
    for (int64_t W : Words) Put32(R, static_cast<uint32_t>(W));
    return Raw(Type, R);
  }
  // A record with the given body bytes (padded to four bytes).
  TEmfBuilder& Raw(uint32_t Type, std::string Body) {
    while (Body.size() % 4) Body.push_back('\0');
    std::string R;
    Put32(R, Type);
    Put32(R, static_cast<uint32_t>(Body.size() + 8));
    R += Body;
    FRecords.push_back(R);
    return *this;
  }
  // A record whose size field claims Size bytes, whatever its body.
  TEmfBuilder& RawSized(uint32_t Type, uint32_t Size, const std::string& Body) {
    std::string R;
    Put32(R, Type);
    Put32(R, Size);
    R += Body;
    FRecords.push_back(R);
    return *this;
  }

  // Shapes with 32-bit points: bounds, count, points.
  TEmfBuilder& Poly(uint32_t Type, std::initializer_list<int32_t> XY) {
    std::string B;
    for (int i = 0; i < 4; ++i) Put32(B, 0);
    Put32(B, static_cast<uint32_t>(XY.size() / 2));
    for (int32_t V : XY) Put32(B, static_cast<uint32_t>(V));
    return Raw(Type, B);
  }
  TEmfBuilder& Poly16(uint32_t Type, std::initializer_list<int16_t> XY) {
    std::string B;
    for (int i = 0; i < 4; ++i) Put32(B, 0);
    Put32(B, static_cast<uint32_t>(XY.size() / 2));
    for (int16_t V : XY) Put16(B, static_cast<uint16_t>(V));
    return Raw(Type, B);
  }
  TEmfBuilder& PolyDraw(std::initializer_list<int32_t> XY, std::initializer_list<uint8_t> Types) {
    std::string B;
    for (int i = 0; i < 4; ++i) Put32(B, 0);
    Put32(B, static_cast<uint32_t>(Types.size()));
    for (int32_t V : XY) Put32(B, static_cast<uint32_t>(V));
    for (uint8_t T : Types) B.push_back(static_cast<char>(T));
    return Raw(emf::EMR_POLYDRAW, B);
  }
  TEmfBuilder& Pen(uint32_t Index, uint32_t Style, int32_t Width, uint32_t Color) {
    return Rec(emf::EMR_CREATEPEN, {Index, Style, Width, 0, Color});
  }
  TEmfBuilder& Brush(uint32_t Index, uint32_t Style, uint32_t Color) {
    return Rec(emf::EMR_CREATEBRUSHINDIRECT, {Index, Style, Color, 0});
  }
  TEmfBuilder& Select(uint32_t Index) { return Rec(emf::EMR_SELECTOBJECT, {Index}); }
  TEmfBuilder& Stock(uint32_t Index) { return Select(Index | emf::STOCK_OBJECT_FLAG); }
  TEmfBuilder& Font(uint32_t Index, int32_t Height, const std::u16string& Face,
                    int32_t Weight = 400, uint8_t Charset = 0, int32_t Escapement = 0,
                    int32_t Width = 0, uint8_t Italic = 0) {
    std::string B;
    Put32(B, Index);
    Put32(B, static_cast<uint32_t>(Height));
    Put32(B, static_cast<uint32_t>(Width));
    Put32(B, static_cast<uint32_t>(Escapement));
    Put32(B, static_cast<uint32_t>(Escapement));
    Put32(B, static_cast<uint32_t>(Weight));
    B.push_back(static_cast<char>(Italic));
    B.push_back(0);
    B.push_back(0);
    B.push_back(static_cast<char>(Charset));
    B.append(4, '\0');
    for (size_t i = 0; i < 32; ++i) Put16(B, i < Face.size() ? Face[i] : 0);
    return Raw(emf::EMR_EXTCREATEFONTINDIRECTW, B);
  }
  // A region of rectangles (left, top, right, bottom each) as region data.
  static std::string Region(std::initializer_list<int32_t> Rects) {
    std::string B;
    Put32(B, 32);
    Put32(B, 1);
    Put32(B, static_cast<uint32_t>(Rects.size() / 4));
    Put32(B, static_cast<uint32_t>(Rects.size() * 4));
    for (int i = 0; i < 4; ++i) Put32(B, 0);
    for (int32_t V : Rects) Put32(B, static_cast<uint32_t>(V));
    return B;
  }

  // The whole metafile: header, the records, EOF.
  std::string Bytes() const {
    std::string Body;
    for (const std::string& R : FRecords) Body += R;
    std::string Eof;
    Put32(Eof, emf::EMR_EOF);
    Put32(Eof, 20);
    Put32(Eof, 0);
    Put32(Eof, 16);
    Put32(Eof, 20);
    std::string H;
    Put32(H, emf::EMR_HEADER);
    Put32(H, 108);
    for (int32_t V : {0, 0, FRight, FBottom}) Put32(H, static_cast<uint32_t>(V));
    for (int32_t V : {0, 0, (FRight + 1) * 2540 / 96 - 1, (FBottom + 1) * 2540 / 96 - 1})
      Put32(H, static_cast<uint32_t>(V));
    Put32(H, emf::ENHMETA_SIGNATURE);
    Put32(H, emf::ENHMETA_VERSION);
    Put32(H, static_cast<uint32_t>(108 + Body.size() + Eof.size()));
    Put32(H, static_cast<uint32_t>(FRecords.size() + 2));
    Put16(H, static_cast<uint16_t>(FHandles));
    Put16(H, 0);
    Put32(H, 0);
    Put32(H, 0);
    Put32(H, 0);
    Put32(H, 1920);
    Put32(H, 1080);
    Put32(H, 508);
    Put32(H, 285);
    Put32(H, 0);
    Put32(H, 0);
    Put32(H, 0);
    Put32(H, 508000);
    Put32(H, 285750);
    return H + Body + Eof;
  }

  static void Put32(std::string& S, uint32_t V) {
    for (int i = 0; i < 4; ++i) S.push_back(static_cast<char>(V >> (8 * i)));
  }
  static void Put16(std::string& S, uint16_t V) {
    S.push_back(static_cast<char>(V));
    S.push_back(static_cast<char>(V >> 8));
  }
  static void PutF(std::string& S, float F) {
    uint32_t V;
    std::memcpy(&V, &F, 4);
    Put32(S, V);
  }

 private:
  int FRight, FBottom, FHandles;
  std::vector<std::string> FRecords;
};

}  // namespace quillora::testing
