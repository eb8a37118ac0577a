// Device-context state, coordinate mapping, objects, saved states, colours.
#include <gtest/gtest.h>

#include <functional>

#include "playback_fixture.h"
#include "quillora/core/exception.h"

namespace quillora::testing {
namespace {

using namespace emf;

TEST_F(PlaybackTest, HeaderAndEofAloneWriteOnlyCapAndJoin) {
  EXPECT_EQ(Play(TEmfBuilder()), "");
}

TEST(MetafileHeader, BrokenHeadersAreRefused) {
  const std::string Good = TEmfBuilder().Bytes();
  struct Case {
    const char* Name;
    std::function<std::string()> Bytes;
    const char* Message;
  } Cases[] = {
      {"empty", [] { return std::string(); }, "Not an enhanced metafile"},
      {"wrong type",
       [&] {
         std::string S = Good;
         S[0] = 2;
         return S;
       },
       "Not an enhanced metafile"},
      {"no signature",
       [&] {
         std::string S = Good;
         S[40] = 'X';
         return S;
       },
       "Not an enhanced metafile"},
      {"header larger than data", [&] { return Good.substr(0, 100); }, "Broken metafile header"},
      {"header too small",
       [&] {
         std::string S = Good;
         S[4] = 40;
         return S;
       },
       "Broken metafile header"},
  };
  TPDFDocument Doc;
  std::ostringstream Out;
  Doc.SetOutputStream(&Out);
  Doc.StartDocument();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TEMWParser Parser(*Doc.CurrentPage());
    const std::string Bytes = C.Bytes();
    try {
      Parser.SetMetafile(Bytes);
      ADD_FAILURE() << "accepted";
    } catch (const TPDFException& E) {
      EXPECT_STREQ(E.what(), C.Message);
    }
  }
  Doc.AbortDocument();
}

TEST_F(PlaybackTest, PlaybackSizeFromBounds) {
  Doc.SetResolution(72);
  TEMWParser Parser(Page());
  const std::string Bytes = TEmfBuilder(793, 1122).Bytes();
  Parser.SetMetafile(Bytes);
  int64_t W = 0, H = 0;
  Parser.GetPlaybackSize(W, H);
  EXPECT_EQ(W, 596);  // round(793 * 0.75) + 1
  EXPECT_EQ(H, 843);  // round(1122 * 0.75) + 1 (841.5 rounds to even)
}

// A line from the origin to (200, 100) after the given set-up records: the
// "l" line shows where the mapping put the point.
TEST_F(PlaybackTest, Mapping) {
  struct Case {
    const char* Name;
    std::function<void(TEmfBuilder&)> Setup;
    const char* LineTo;
  } Cases[] = {
      {"text mode", [](TEmfBuilder&) {}, "150 767 l"},
      {"anisotropic 1000 to 500",
       [](TEmfBuilder& B) {
         B.Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC})
             .Rec(EMR_SETWINDOWEXTEX, {1000, 1000})
             .Rec(EMR_SETVIEWPORTEXTEX, {500, 500});
       },
       "75 804.5 l"},
      {"text mode ignores extents",
       [](TEmfBuilder& B) {
         B.Rec(EMR_SETWINDOWEXTEX, {1000, 1000}).Rec(EMR_SETVIEWPORTEXTEX, {500, 500});
       },
       "150 767 l"},
      {"window scale 2/1 halves",
       [](TEmfBuilder& B) {
         B.Rec(EMR_SCALEWINDOWEXTEX, {2, 1, 2, 1});
       },
       "75 804.5 l"},
      {"second window scale replaces the first",
       [](TEmfBuilder& B) {
         B.Rec(EMR_SCALEWINDOWEXTEX, {2, 1, 2, 1}).Rec(EMR_SCALEWINDOWEXTEX, {4, 1, 4, 1});
       },
       "37.5 823.25 l"},
      {"viewport scale doubles",
       [](TEmfBuilder& B) {
         B.Rec(EMR_SCALEVIEWPORTEXTEX, {2, 1, 2, 1});
       },
       "300 692 l"},
      {"negative viewport y flips",
       [](TEmfBuilder& B) {
         B.Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC})
             .Rec(EMR_SETWINDOWEXTEX, {1, 1})
             .Rec(EMR_SETVIEWPORTEXTEX, {1, -1})
             .Rec(EMR_SETVIEWPORTORGEX, {0, 400});
       },
       "150 617 l"},
      {"window origin",
       [](TEmfBuilder& B) {
         B.Rec(EMR_SETWINDOWORGEX, {100, 50});
       },
       "75 804.5 l"},
      {"world transform scale and offset",
       [](TEmfBuilder& B) {
         std::string X;
         for (float F : {2.f, 0.f, 0.f, 2.f, 10.f, 20.f}) TEmfBuilder::PutF(X, F);
         B.Raw(EMR_SETWORLDTRANSFORM, X);
       },
       "307.5 677 l"},
      {"left multiply composes translation first",
       [](TEmfBuilder& B) {
         std::string X;
         for (float F : {2.f, 0.f, 0.f, 2.f, 0.f, 0.f}) TEmfBuilder::PutF(X, F);
         B.Raw(EMR_SETWORLDTRANSFORM, X);
         std::string Y;
         for (float F : {1.f, 0.f, 0.f, 1.f, 10.f, 0.f}) TEmfBuilder::PutF(Y, F);
         TEmfBuilder::Put32(Y, MWT_LEFTMULTIPLY);
         B.Raw(EMR_MODIFYWORLDTRANSFORM, Y);
       },
       "315 692 l"},
      {"rotation terms are not applied",
       [](TEmfBuilder& B) {
         std::string X;
         for (float F : {0.f, 1.f, -1.f, 0.f, 0.f, 0.f}) TEmfBuilder::PutF(X, F);
         B.Raw(EMR_SETWORLDTRANSFORM, X);
       },
       "0 842 l"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TPDFDocument D;
    std::ostringstream O;
    D.SetOutputStream(&O);
    D.StartDocument();
    TEmfBuilder B;
    C.Setup(B);
    B.Rec(EMR_LINETO, {200, 100});
    TEMWParser Parser(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    Parser.SetMetafile(Bytes);
    Parser.PlayMetafile();
    const std::string& Text = D.CurrentPage()->ContentText();
    EXPECT_NE(Text.find(std::string("\r\n") + C.LineTo + "\r\n"), std::string::npos) << Text;
    D.AbortDocument();
  }
}

TEST_F(PlaybackTest, ZeroWindowExtentSkipsOnlyTheRecordThatNeedsIt) {
  TEmfBuilder B;
  B.Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC})
      .Rec(EMR_SETWINDOWEXTEX, {0, 0})
      .Rec(EMR_LINETO, {200, 100})
      .Rec(EMR_SETMAPMODE, {MM_TEXT})
      .Rec(EMR_LINETO, {40, 40});
  // The skipped line did not move the current position.
  EXPECT_EQ(Play(B), "0 842 m\n30 812 l\nS");
}

TEST_F(PlaybackTest, NullPenThenStockBlackPenStrokesSolidAgain) {
  TEmfBuilder B;
  B.Pen(1, PS_DASH, 1, 0x0000FF)
      .Select(1)
      .Stock(NULL_PEN)
      .Rec(EMR_LINETO, {10, 0})
      .Stock(BLACK_PEN)
      .Rec(EMR_LINETO, {20, 0});
  EXPECT_EQ(Play(B),
            "1 0 0 RG\n[4 4] 0 d\n0.75 w\n"  // the dashed red pen
            "0 842 m\n7.5 842 l\nn\n"        // null pen: nothing stroked
            "0 0 0 RG\n[] 0 d\n0.75 w\n"     // stock black pen: solid, cosmetic
            "7.5 842 m\n15 842 l\nS");
}

TEST_F(PlaybackTest, WidePensAreSolidAndScaled) {
  TEmfBuilder B;
  B.Pen(1, PS_DOT, 1, 0)
      .Select(1)
      .Pen(2, PS_DASH, 3, 0)
      .Select(2)
      .Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC})
      .Rec(EMR_SETWINDOWEXTEX, {1, 1})
      .Rec(EMR_SETVIEWPORTEXTEX, {2, 2})
      .Pen(3, PS_SOLID, 4, 0)
      .Select(3);
  EXPECT_EQ(Play(B), "[1 1] 0 d\n0.75 w\n[] 0 d\n2.25 w\n6 w");
}

TEST_F(PlaybackTest, CosmeticPenWritesItsWidthOnEverySelection) {
  TEmfBuilder B;
  B.Pen(1, PS_SOLID, 0, 0).Select(1).Select(1).Pen(2, PS_SOLID, 2, 0).Select(2).Select(2);
  EXPECT_EQ(Play(B), "0.75 w\n0.75 w\n1.5 w");
}

TEST_F(PlaybackTest, BrushColours) {
  struct Case {
    uint32_t Color;
    const char* Fill;
  } Cases[] = {
      {0x0000FF, "1 0 0 rg"},
      {0x01000005, "0.5 0 0.5 rg"},    // entry 5 of the default palette
      {0x0100000A, "1 0.98 0.94 rg"},  // entry 10, cream
      {0x01000014, "0.08 0 0 rg"},     // not a palette index: the low bytes
  };
  for (const Case& C : Cases) {
    TPDFDocument D;
    std::ostringstream O;
    D.SetOutputStream(&O);
    D.StartDocument();
    TEmfBuilder B;
    B.Brush(1, BS_SOLID, C.Color).Select(1);
    TEMWParser Parser(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    Parser.SetMetafile(Bytes);
    Parser.PlayMetafile();
    EXPECT_NE(D.CurrentPage()->ContentText().find(std::string(C.Fill) + "\r\n"), std::string::npos)
        << std::hex << C.Color;
    D.AbortDocument();
  }
}

TEST_F(PlaybackTest, SameBrushColourIsNotWrittenTwice) {
  TEmfBuilder B;
  B.Brush(1, BS_SOLID, 0x00FF00)
      .Brush(2, BS_HATCHED, 0x00FF00)
      .Select(1)
      .Select(2)
      .Stock(BLACK_BRUSH);
  EXPECT_EQ(Play(B), "0 1 0 rg\n0 0 0 rg");
}

TEST_F(PlaybackTest, ObjectsOutsideTheTableAreIgnored) {
  TEmfBuilder B(793, 1122, 4);
  B.Brush(4, BS_SOLID, 0x00FF00)
      .Select(4)
      .Brush(3, BS_SOLID, 0xFF0000)
      .Select(3)
      .Rec(EMR_DELETEOBJECT, {3})
      .Select(3)
      .Select(99);
  EXPECT_EQ(Play(B), "0 0 1 rg");
}

TEST_F(PlaybackTest, ArcDirectionComesBackWithRestoreDC) {
  // Clockwise arcs exchange start and end; a restore brings back clockwise.
  TEmfBuilder Clockwise;
  Clockwise.Rec(EMR_SETARCDIRECTION, {AD_CLOCKWISE}).Rec(EMR_ARC, {0, 0, 100, 100, 100, 50, 50, 0});
  TEmfBuilder Restored;
  Restored.Rec(EMR_SETARCDIRECTION, {AD_CLOCKWISE})
      .Rec(EMR_SAVEDC)
      .Rec(EMR_SETARCDIRECTION, {AD_COUNTERCLOCKWISE})
      .Rec(EMR_RESTOREDC, {-1})
      .Rec(EMR_ARC, {0, 0, 100, 100, 100, 50, 50, 0});
  TEmfBuilder Exchanged;
  Exchanged.Rec(EMR_ARC, {0, 0, 100, 100, 50, 0, 100, 50});
  const std::string A = Play(Clockwise);
  TPDFDocument D2;
  std::ostringstream O2;
  D2.SetOutputStream(&O2);
  D2.StartDocument();
  auto PlayOn = [](TPDFDocument& D, const TEmfBuilder& B) {
    const size_t Before = D.CurrentPage()->ContentText().size();
    TEMWParser P(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    P.SetMetafile(Bytes);
    P.PlayMetafile();
    return D.CurrentPage()->ContentText().substr(Before);
  };
  const std::string B = PlayOn(D2, Restored);
  TPDFDocument D3;
  std::ostringstream O3;
  D3.SetOutputStream(&O3);
  D3.StartDocument();
  const std::string C = PlayOn(D3, Exchanged);
  // The same curve in all three, from its move on (the restore also selects
  // the restored pen and brush).
  auto Curve = [](std::string S) {
    for (size_t P; (P = S.find('\r')) != std::string::npos;) S.erase(P, 1);
    while (!S.empty() && S.back() == '\n') S.pop_back();
    return S.substr(S.rfind('\n', S.find(" m")) + 1);
  };
  EXPECT_NE(A.find(" c"), std::string::npos);
  EXPECT_EQ(Curve(A), Curve(C));
  EXPECT_EQ(Curve(B), Curve(C));
  D2.AbortDocument();
  D3.AbortDocument();
}

TEST_F(PlaybackTest, RestoreDCLevels) {
  // Text colour is read back from the restored state: -1 pops one level,
  // 1 goes back to the first save, a level that does not exist restores
  // nothing.
  TEmfBuilder B;
  B.Rec(EMR_SETPOLYFILLMODE, {WINDING})
      .Rec(EMR_SAVEDC)  // level 1: winding
      .Rec(EMR_SETPOLYFILLMODE, {ALTERNATE})
      .Rec(EMR_SAVEDC)  // level 2: alternate
      .Rec(EMR_SETPOLYFILLMODE, {WINDING})
      .Rec(EMR_RESTOREDC, {5})  // no such level
      .Poly(EMR_POLYGON, {0, 0, 10, 0, 0, 10})
      .Rec(EMR_RESTOREDC, {-1})  // back to alternate
      .Poly(EMR_POLYGON, {0, 0, 10, 0, 0, 10})
      .Rec(EMR_RESTOREDC, {1})  // back to winding
      .Poly(EMR_POLYGON, {0, 0, 10, 0, 0, 10});
  const std::string Lines = Play(B);
  // Paint operators in order: winding (B), alternate (B*), winding (B).
  std::string Ops;
  for (size_t P = 0; (P = Lines.find('B', P)) != std::string::npos; ++P)
    Ops += Lines.substr(P, Lines[P + 1] == '*' ? 2 : 1) + ",";
  EXPECT_EQ(Ops, "B,B*,B,");
}

TEST_F(PlaybackTest, RestoreDCClosesAnOpenClipOnce) {
  TEmfBuilder B;
  B.Rec(EMR_INTERSECTCLIPRECT, {0, 0, 100, 100})
      .Rec(EMR_SAVEDC)
      .Rec(EMR_RESTOREDC, {-1})
      .Rec(EMR_RESTOREDC, {-1});
  // One Q; each restore selects the restored cosmetic pen and white brush.
  EXPECT_EQ(Play(B), "q\nn\n0 767 75 75 re\nW\nn\nQ\n0.75 w\n1 1 1 rg\n0.75 w");
}

}  // namespace
}  // namespace quillora::testing
