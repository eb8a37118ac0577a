#include "quillora/page/page.h"

#include "quillora/core/actions.h"
#include "quillora/core/annotations.h"
#include "quillora/core/compression_stream.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/fonts/font_registry.h"
#include "quillora/page/images.h"
#include "quillora/page/page_canvas.h"

namespace quillora {

namespace {

struct TPaperSize {
  int Width, Height;
};

// Sizes in points of the page sizes 1 to 19.
constexpr TPaperSize kPaperSizes[] = {
    {612, 792},  {595, 842},  {842, 1190}, {612, 1008}, {516, 728}, {459, 649}, {595, 792},
    {728, 1031}, {419, 595},  {612, 936},  {522, 756},  {728, 1031}, {499, 708}, {323, 459},
    {312, 623},  {279, 540},  {279, 639},  {297, 684},  {324, 747}};

}  // namespace

TPDFPage::TPDFPage(TPDFDocument& Document) : FDocument(Document) {
  FObjectNumber = Document.AllocateObjectNumber();
  FResolution = Document.Resolution();
  FK = FResolution / 72.0L;
  SetPageSize(pkA4);
  SetRotate(pt0);
  SaveState();
  FPageInProgress = false;
}

TPDFPage::~TPDFPage() = default;

void TPDFPage::SetPageSize(TPaperKind Size) {
  if (FPageInProgress) throw TPDFException("Page in progress");
  FSize = Size;
  if (Size >= 1 && Size <= 19) {
    FWidth = kPaperSizes[Size - 1].Width;
    FHeight = kPaperSizes[Size - 1].Height;
  }
  SetOrientation(FOrientation);
  if (FRecording && !FCanvasTaken) {
    // The recording follows the new size while nobody holds its canvas.
    FreeCanvas();
    CreateCanvas();
  }
}

void TPDFPage::SetOrientation(TPaperOrientation Orientation) {
  if (FPageInProgress) throw TPDFException("Page in progress");
  FOrientation = Orientation;
  if (Orientation == orPortrait ? FHeight < FWidth : FWidth < FHeight) std::swap(FWidth, FHeight);
}

int64_t TPDFPage::DeviceWidth() const { return RoundHalfEven(FWidth * FK); }
int64_t TPDFPage::DeviceHeight() const { return RoundHalfEven(FHeight * FK); }

std::string TPDFPage::TakeContent() {
  std::string text = std::move(FContent);
  FContent.clear();
  FContentLines = 0;
  return text;
}

void TPDFPage::SetContentText(std::string Text) {
  // Normalise every line end to CR LF, so a lone CR (the recording merge
  // uses one) counts as a line break.
  FContent.clear();
  FContent.reserve(Text.size() + 2);
  FContentLines = 0;
  size_t i = 0, n = Text.size();
  while (i < n) {
    size_t j = i;
    while (j < n && Text[j] != '\r' && Text[j] != '\n') ++j;
    FContent.append(Text, i, j - i);
    FContent.append("\r\n");
    ++FContentLines;
    if (j < n && Text[j] == '\r' && j + 1 < n && Text[j + 1] == '\n') ++j;
    i = j + 1;
  }
}

void TPDFPage::CloseTextObject() {
  if (FText.TextObjectOpen) {
    WriteContent("ET");
    FText.TextObjectOpen = false;
  }
}

TPDFActionAnnotation* TPDFPage::AddUrlLink(TRect Rect, const std::string& URL) {
  auto* annotation = new TPDFActionAnnotation(this);
  annotation->SetRect(Rect);
  auto* action = new TPDFURLAction();
  try {
    annotation->SetAction(action);
  } catch (...) {
    delete action;
    throw;
  }
  action->SetURL(URL);
  annotation->SetBorder("[]");
  return annotation;
}

void TPDFPage::AdoptAnnotation(TPDFCustomAnnotation* Annotation) {
  FAnnotations.emplace_back(Annotation);
}

void TPDFPage::UseFont(TPDFFont* Font) {
  for (TPDFFont* f : FFonts)
    if (f == Font) return;
  FFonts.push_back(Font);
}

void TPDFPage::UseImage(TPDFImage* Image) {
  for (TPDFImage* i : FImages)
    if (i == Image) return;
  FImages.push_back(Image);
}

void TPDFPage::SavePage() {
  TPDFDocument& doc = FDocument;
  for (int i = FStateDepth; i > 1; --i) WriteContent("Q");
  for (TPDFFont* font : FFonts)
    if (font->ObjectNumber() < 1 && font->Used()) font->SetObjectNumber(doc.AllocateObjectNumber());
  for (TPDFImage* image : FImages)
    if (!image->Written()) image->Save(doc);
  for (auto& annotation : FAnnotations)
    if (annotation->ObjectNumber() < 1) annotation->SetObjectNumber(doc.AllocateObjectNumber());
  FResourcesNumber = doc.AllocateObjectNumber();
  FContentNumber = doc.AllocateObjectNumber();
  FStateDepth = 2;
  RestoreState();

  for (auto& annotation : FAnnotations) annotation->WriteObject();

  // Resources.
  doc.StartObject(FResourcesNumber);
  std::string procset = " /ProcSet [/PDF ";
  if (FUsesText) procset += "/Text ";
  if (FUsesGrayImage) procset += "/ImageB ";
  if (FUsesColorImage) procset += "/ImageC ";
  procset += "]";
  doc.WriteText(procset);
  if (!FFonts.empty()) {
    doc.WriteText("/Font <<");
    for (TPDFFont* font : FFonts)
      if (font->Used())
        doc.WriteText("/" + font->ResourceName() + " " + IntToStr(font->ObjectNumber()) + " 0 R");
    doc.WriteText(">>");
  }
  if (!FImages.empty()) {
    doc.WriteText(" /XObject <<");
    for (TPDFImage* image : FImages)
      doc.WriteText("/" + image->Name() + " " + IntToStr(image->ObjectNumber()) + " 0 R");
    doc.WriteText(">>");
  }
  doc.EndDictionary();
  doc.EndObject();

  // Content stream.
  doc.StartObject(FContentNumber);
  if (doc.Compression() == ctFlate) {
    std::string data = Deflate(FContent);
    doc.EncryptStream(data, FContentNumber);
    doc.WriteText("/Length " + IntToStr(static_cast<int64_t>(data.size())));
    doc.WriteText("/Filter /FlateDecode");
    doc.EndDictionary();
    doc.StartStream();
    doc.WriteBytes(data);
    doc.WriteText("");
  } else {
    doc.WriteText("/Length " + IntToStr(static_cast<int64_t>(FContent.size())));
    doc.EndDictionary();
    doc.StartStream();
    doc.EncryptStream(FContent, FContentNumber);
    doc.WriteBytes(FContent);
    doc.WriteText("");
  }
  FContent.clear();
  FContent.shrink_to_fit();
  FContentLines = 0;
  doc.EndStream();
  doc.EndObject();

  // Page object.
  doc.StartObject(FObjectNumber);
  doc.WriteText("/Type /Page");
  doc.WriteText("/Parent " + IntToStr(doc.PageTreeNumber()) + " 0 R");
  doc.WriteText("/Resources " + IntToStr(FResourcesNumber) + " 0 R");
  doc.WriteText("/Contents [" + IntToStr(FContentNumber) + " 0 R]");
  doc.WriteText("/MediaBox [0 0 " + IntToStr(FWidth) + " " + IntToStr(FHeight) + "]");
  if (FRotate != pt0) doc.WriteText("/Rotate " + IntToStr(90 * static_cast<int>(FRotate)));
  if (!FAnnotations.empty()) {
    doc.WriteText("/Annots [");
    for (auto& annotation : FAnnotations)
      doc.WriteText(IntToStr(annotation->ObjectNumber()) + " 0 R");
    doc.WriteText("]");
  }
  doc.EndDictionary();
  doc.EndObject();
}

TPDFPage* TPDFPages::Add() {
  FItems.push_back(std::make_unique<TPDFPage>(FDocument));
  return FItems.back().get();
}

int TPDFPages::IndexOf(const TPDFPage* Page) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i].get() == Page) return i;
  return -1;
}

}  // namespace quillora
