#include "metafile_fixture.h"

#include <emf2svg.h>
#include <gtest/gtest.h>
#include <uemf_safe.h>

#include <cstdlib>
#include <cstring>

#include "quillora/platform/metafile.h"

namespace metafile_testing {

using namespace quillora;

int32_t Rec::I32(size_t Offset) const {
  return static_cast<int32_t>(U32(Offset));
}

uint32_t Rec::U32(size_t Offset) const {
  if (Offset + 4 > Bytes.size()) {
    ADD_FAILURE() << "field at " << Offset << " outside record of " << Bytes.size();
    return 0;
  }
  uint32_t V;
  std::memcpy(&V, Bytes.data() + Offset, 4);
  return V;
}

uint16_t Rec::U16(size_t Offset) const {
  if (Offset + 2 > Bytes.size()) {
    ADD_FAILURE() << "field at " << Offset << " outside record of " << Bytes.size();
    return 0;
  }
  uint16_t V;
  std::memcpy(&V, Bytes.data() + Offset, 2);
  return V;
}

float Rec::F32(size_t Offset) const {
  const uint32_t B = U32(Offset);
  float F;
  std::memcpy(&F, &B, 4);
  return F;
}

std::vector<Rec> Records(const std::string& Emf) {
  std::vector<Rec> Out;
  emf::TReader Reader(reinterpret_cast<const uint8_t*>(Emf.data()), Emf.size());
  emf::TRecord R;
  while (Reader.Next(R))
    Out.push_back({R.Type(), std::string(reinterpret_cast<const char*>(R.Data()), R.Size())});
  EXPECT_FALSE(Reader.Truncated());
  return Out;
}

std::vector<uint32_t> DrawingTypes(const std::string& Emf) {
  std::vector<uint32_t> Types;
  for (const Rec& R : Records(Emf))
    if (R.Type != emf::EMR_HEADER && R.Type != emf::EMR_EOF) Types.push_back(R.Type);
  return Types;
}

std::string UemfComplaint(const std::string& Emf) {
  if (Emf.size() < 108) return "shorter than a header";
  uint32_t Declared, DeclaredRecords;
  std::memcpy(&Declared, Emf.data() + 48, 4);
  std::memcpy(&DeclaredRecords, Emf.data() + 52, 4);
  if (Declared != Emf.size()) return "nBytes differs from the size";
  // libUEMF reads records in place and may read a little past a short one;
  // give it a padded copy so that a fault shows as a complaint, not a crash.
  std::string Copy = Emf + std::string(64, '\0');
  size_t Off = 0;
  uint32_t Count = 0, LastType = 0;
  while (Off + 8 <= Emf.size()) {
    uint32_t Type, Size;
    std::memcpy(&Type, Copy.data() + Off, 4);
    std::memcpy(&Size, Copy.data() + Off + 4, 4);
    if (Size < 8 || Size % 4 || Off + Size > Emf.size())
      return "record " + std::to_string(Count) + " has a bad size";
    if (!U_emf_record_safe(Copy.data() + Off))
      return "libUEMF refuses record " + std::to_string(Count) + " of type " + std::to_string(Type);
    ++Count;
    LastType = Type;
    Off += Size;
  }
  if (Off != Emf.size()) return "trailing bytes";
  if (Count != DeclaredRecords) return "nRecords differs from the records";
  if (LastType != emf::EMR_EOF) return "no EOF record last";
  return "";
}

std::string EmfToSvg(const std::string& Emf) {
  generatorOptions Options{};
  Options.nameSpace = const_cast<char*>("svg");
  Options.svgDelimiter = true;
  Options.emfplus = false;
  std::string Copy = Emf;
  char* Out = nullptr;
  size_t Length = 0;
  const int Ok = emf2svg(Copy.data(), Copy.size(), &Out, &Length, &Options);
  std::string Svg = Out && Ok ? std::string(Out, Length) : std::string();
  std::free(Out);
  return Svg;
}

testing_support::Image RenderSvg(const std::string& Svg) {
  namespace fs = std::filesystem;
  const fs::path Dir = testing_support::FreshDir("svg");
  testing_support::WriteFile(Dir / "in.svg", Svg);
  const auto Convert = testing_support::Run(
      "rsvg-convert -f pdf -o " + testing_support::Quote((Dir / "out.pdf").string()) + " " +
      testing_support::Quote((Dir / "in.svg").string()));
  EXPECT_EQ(Convert.exit_code, 0) << Convert.err;
  testing_support::Image Img = testing_support::RenderPoppler(Dir / "out.pdf", 1, 96);
  fs::remove_all(Dir);
  return Img;
}

std::string Record(const std::function<void(TMetafileCanvas&)>& Draw, int Width, int Height) {
  TMetafile Metafile;
  Metafile.SetWidth(Width);
  Metafile.SetHeight(Height);
  {
    TMetafileCanvas Canvas(Metafile);
    Draw(Canvas);
  }
  const std::string& Emf = Metafile.Data();
  EXPECT_EQ(UemfComplaint(Emf), "");
  EXPECT_NE(EmfToSvg(Emf), "") << "libemf2svg cannot convert the recording";
  return Emf;
}

}  // namespace metafile_testing
