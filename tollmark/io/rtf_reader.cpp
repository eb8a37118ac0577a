#include "tollmark/io/rtf_reader.h"

#include <QTextImageFormat>
#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <unordered_map>

#include "tollmark/io/code_pages.h"
#include "tollmark/io/rtf_lists.h"
#include "tollmark/io/rtf_pictures.h"
#include "tollmark/io/rtf_tables.h"
#include "tollmark/io/rtf_tokenizer.h"

namespace tollmark::io {
namespace {

// Deeper groups than this are skipped whole: real documents nest a few dozen.
constexpr int kMaxGroupDepth = 500;
constexpr int kMaxTableDepth = 16;
constexpr int kMaxLength = 1'000'000;  // twips; clamps absurd measurements
constexpr qreal kTwipsPerPixel = 15.0;

enum class Dest : uint8_t {
  kBody,
  kSkip,
  kFontTable,
  kColorTable,
  kInfo,
  kInfoText,
  kFieldInst,
  kPicture,
  kListTable,
  kLevelText,
  kListOverrideTable,
  kPn,
  kPnText,
  kUpr,
};

enum class InfoField : uint8_t { kNone, kTitle, kAuthor, kSubject, kKeywords };
enum class PnText : uint8_t { kBefore, kAfter };

// Border kinds: 0 none, 1 solid, 2 dotted, 3 dashed, 4 double.
struct Border {
  int style = 0;
  int width = 0;  // twips
  int color = -1;
  bool operator==(const Border&) const = default;
};

struct CharProps {
  int font = -1;
  int size = 24;  // half points
  bool bold = false, italic = false, strike = false, caps = false, smallCaps = false;
  bool hidden = false;
  int underline = QTextCharFormat::NoUnderline;
  int valign = QTextCharFormat::AlignNormal;
  int fg = -1, bg = -1;
  int link = -1;
  bool operator==(const CharProps&) const = default;
};

struct PnProps {
  RtfListLevel level;
  int ilvl = 0;
  bool operator==(const PnProps&) const = default;
};

struct ParaProps {
  int align = 0;  // 0 left, 1 centre, 2 right, 3 justify
  int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
  bool slmult = false, keep = false, keepn = false, pagebb = false;
  bool intbl = false;
  int itap = 1;
  int ls = -1, ilvl = 0;
  std::optional<PnProps> pn;
  int shading = -1;
  std::array<Border, 4> borders;  // top, bottom, left, right
  int brsp = 0;
  std::vector<QTextOption::Tab> tabs;
};

struct State {
  Dest dest = Dest::kBody;
  CharProps chr;
  ParaProps para;
  int uc = 1;
  InfoField info = InfoField::kNone;
  PnText pnText = PnText::kBefore;
  int fieldDepth = -1;  // the group that owns a field
  bool nestProps = false;
  Dest uprOuter = Dest::kBody;  // where the Unicode half of \upr goes
};

struct Field {
  QString inst;
  int groupDepth = 0;
};

struct FontEntry {
  QString name;
  int codePage = 0;
};

enum class BorderTarget : uint8_t {
  kNone,
  kParaTop,
  kParaBottom,
  kParaLeft,
  kParaRight,
  kParaBox,
  kCellTop,
  kCellBottom,
  kCellLeft,
  kCellRight,
  kOther
};

enum class Word : uint16_t {
  kUnknown,
  // header and tables of the header
  kRtf,
  kAnsi,
  kMac,
  kPc,
  kPca,
  kAnsicpg,
  kDeff,
  kFonttbl,
  kF,
  kFcharset,
  kCpg,
  kColortbl,
  kRed,
  kGreen,
  kBlue,
  kStylesheet,
  kInfo,
  kTitle,
  kAuthor,
  kSubject,
  kKeywords,
  // destinations
  kSkipDest,
  kField,
  kFldinst,
  kFldrslt,
  kPict,
  kShppict,
  kNonshppict,
  kObject,
  kResult,
  kShp,
  kShprslt,
  kNesttableprops,
  kNonesttables,
  kUpr,
  kUd,
  kPntext,
  kListtext,
  // characters
  kPar,
  kSect,
  kChftn,
  kLine,
  kTab,
  kPage,
  kEmdash,
  kEndash,
  kBullet,
  kLquote,
  kRquote,
  kLdblquote,
  kRdblquote,
  kEmspace,
  kEnspace,
  kQmspace,
  kZwj,
  kZwnj,
  kLtrmark,
  kRtlmark,
  kU,
  kUc,
  kBin,
  // character formatting
  kPlain,
  kB,
  kI,
  kUl,
  kUld,
  kUldash,
  kUldashd,
  kUldashdd,
  kUlwave,
  kUlnone,
  kUlOther,
  kStrike,
  kCaps,
  kScaps,
  kSuper,
  kSub,
  kNosupersub,
  kUp,
  kDn,
  kFs,
  kCf,
  kCb,
  kHighlight,
  kChcbpat,
  kV,
  // paragraph formatting
  kPard,
  kQl,
  kQc,
  kQr,
  kQj,
  kLi,
  kRi,
  kFi,
  kSb,
  kSa,
  kSl,
  kSlmult,
  kKeep,
  kKeepn,
  kPagebb,
  kIntbl,
  kItap,
  kLs,
  kIlvl,
  kCbpat,
  kTx,
  kTqr,
  kTqc,
  kTqdec,
  kBrdrt,
  kBrdrb,
  kBrdrl,
  kBrdrr,
  kBox,
  kBrsp,
  kBrdrs,
  kBrdrth,
  kBrdrdot,
  kBrdrdash,
  kBrdrdb,
  kBrdrnone,
  kBrdrw,
  kBrdrcf,
  // tables
  kTrowd,
  kTrleft,
  kTrgaph,
  kTrqc,
  kTrqr,
  kCellx,
  kCell,
  kRow,
  kNestcell,
  kNestrow,
  kClbrdrt,
  kClbrdrb,
  kClbrdrl,
  kClbrdrr,
  kClcbpat,
  kClvertalt,
  kClvertalc,
  kClvertalb,
  kClmgf,
  kClmrg,
  kClvmgf,
  kClvmrg,
  kTrbrdr,
  // lists
  kListtable,
  kList,
  kListid,
  kListlevel,
  kLevelnfc,
  kLevelstartat,
  kLeveltext,
  kLevelnumbers,
  kListname,
  kListoverridetable,
  kListoverride,
  kPn,
  kPnlvlblt,
  kPnlvlbody,
  kPnlvlcont,
  kPnlvl,
  kPndec,
  kPnucrm,
  kPnlcrm,
  kPnucltr,
  kPnlcltr,
  kPnstart,
  kPntxta,
  kPntxtb,
  // pictures
  kPngblip,
  kJpegblip,
  kEmfblip,
  kWmetafile,
  kDibitmap,
  kWbitmap,
  kOtherBlip,
  kPicw,
  kPich,
  kPicwgoal,
  kPichgoal,
  kPicscalex,
  kPicscaley,
  kWbmbitspixel,
  kWbmwidthbytes,
};

const std::unordered_map<std::string_view, Word>& WordTable() {
  static const std::unordered_map<std::string_view, Word> table = {
      {"rtf", Word::kRtf},
      {"ansi", Word::kAnsi},
      {"mac", Word::kMac},
      {"pc", Word::kPc},
      {"pca", Word::kPca},
      {"ansicpg", Word::kAnsicpg},
      {"deff", Word::kDeff},
      {"fonttbl", Word::kFonttbl},
      {"f", Word::kF},
      {"fcharset", Word::kFcharset},
      {"cpg", Word::kCpg},
      {"colortbl", Word::kColortbl},
      {"red", Word::kRed},
      {"green", Word::kGreen},
      {"blue", Word::kBlue},
      {"stylesheet", Word::kStylesheet},
      {"info", Word::kInfo},
      {"title", Word::kTitle},
      {"author", Word::kAuthor},
      {"subject", Word::kSubject},
      {"keywords", Word::kKeywords},
      // Destinations whose text is not part of the document.
      {"header", Word::kSkipDest},
      {"headerl", Word::kSkipDest},
      {"headerr", Word::kSkipDest},
      {"headerf", Word::kSkipDest},
      {"footer", Word::kSkipDest},
      {"footerl", Word::kSkipDest},
      {"footerr", Word::kSkipDest},
      {"footerf", Word::kSkipDest},
      {"footnote", Word::kSkipDest},
      {"annotation", Word::kSkipDest},
      {"xe", Word::kSkipDest},
      {"tc", Word::kSkipDest},
      {"tcn", Word::kSkipDest},
      {"rxe", Word::kSkipDest},
      {"txe", Word::kSkipDest},
      {"template", Word::kSkipDest},
      {"revtbl", Word::kSkipDest},
      {"rsidtbl", Word::kSkipDest},
      {"private", Word::kSkipDest},
      {"filetbl", Word::kSkipDest},
      {"docvar", Word::kSkipDest},
      {"ftnsep", Word::kSkipDest},
      {"ftnsepc", Word::kSkipDest},
      {"ftncn", Word::kSkipDest},
      {"aftnsep", Word::kSkipDest},
      {"aftnsepc", Word::kSkipDest},
      {"aftncn", Word::kSkipDest},
      {"comment", Word::kSkipDest},
      {"bkmkstart", Word::kSkipDest},
      {"bkmkend", Word::kSkipDest},
      {"falt", Word::kSkipDest},
      {"panose", Word::kSkipDest},
      {"fname", Word::kSkipDest},
      {"fontemb", Word::kSkipDest},
      {"fontfile", Word::kSkipDest},
      {"objdata", Word::kSkipDest},
      {"objclass", Word::kSkipDest},
      {"objname", Word::kSkipDest},
      {"do", Word::kSkipDest},
      {"sp", Word::kSkipDest},
      {"shpinst", Word::kSkipDest},
      {"blipuid", Word::kSkipDest},
      {"picprop", Word::kSkipDest},
      {"userprops", Word::kSkipDest},
      {"xmlnstbl", Word::kSkipDest},
      {"pgdsctbl", Word::kSkipDest},
      {"generator", Word::kSkipDest},
      {"field", Word::kField},
      {"fldinst", Word::kFldinst},
      {"fldrslt", Word::kFldrslt},
      {"pict", Word::kPict},
      {"shppict", Word::kShppict},
      {"nonshppict", Word::kNonshppict},
      {"object", Word::kObject},
      {"result", Word::kResult},
      {"shp", Word::kShp},
      {"shprslt", Word::kShprslt},
      {"nesttableprops", Word::kNesttableprops},
      {"nonesttables", Word::kNonesttables},
      {"upr", Word::kUpr},
      {"ud", Word::kUd},
      {"pntext", Word::kPntext},
      {"listtext", Word::kListtext},
      {"par", Word::kPar},
      {"sect", Word::kSect},
      {"chftn", Word::kChftn},
      {"line", Word::kLine},
      {"tab", Word::kTab},
      {"page", Word::kPage},
      {"emdash", Word::kEmdash},
      {"endash", Word::kEndash},
      {"bullet", Word::kBullet},
      {"lquote", Word::kLquote},
      {"rquote", Word::kRquote},
      {"ldblquote", Word::kLdblquote},
      {"rdblquote", Word::kRdblquote},
      {"emspace", Word::kEmspace},
      {"enspace", Word::kEnspace},
      {"qmspace", Word::kQmspace},
      {"zwj", Word::kZwj},
      {"zwnj", Word::kZwnj},
      {"ltrmark", Word::kLtrmark},
      {"rtlmark", Word::kRtlmark},
      {"u", Word::kU},
      {"uc", Word::kUc},
      {"bin", Word::kBin},
      {"plain", Word::kPlain},
      {"b", Word::kB},
      {"i", Word::kI},
      {"ul", Word::kUl},
      {"uld", Word::kUld},
      {"uldash", Word::kUldash},
      {"uldashd", Word::kUldashd},
      {"uldashdd", Word::kUldashdd},
      {"ulwave", Word::kUlwave},
      {"ulnone", Word::kUlnone},
      {"uldb", Word::kUlOther},
      {"ulw", Word::kUlOther},
      {"ulth", Word::kUlOther},
      {"ulhwave", Word::kUlwave},
      {"ululdbwave", Word::kUlwave},
      {"strike", Word::kStrike},
      {"striked", Word::kStrike},
      {"caps", Word::kCaps},
      {"scaps", Word::kScaps},
      {"super", Word::kSuper},
      {"sub", Word::kSub},
      {"nosupersub", Word::kNosupersub},
      {"up", Word::kUp},
      {"dn", Word::kDn},
      {"fs", Word::kFs},
      {"cf", Word::kCf},
      {"cb", Word::kCb},
      {"highlight", Word::kHighlight},
      {"chcbpat", Word::kChcbpat},
      {"v", Word::kV},
      {"pard", Word::kPard},
      {"ql", Word::kQl},
      {"qc", Word::kQc},
      {"qr", Word::kQr},
      {"qj", Word::kQj},
      {"qd", Word::kQj},
      {"li", Word::kLi},
      {"lin", Word::kLi},
      {"ri", Word::kRi},
      {"rin", Word::kRi},
      {"fi", Word::kFi},
      {"sb", Word::kSb},
      {"sa", Word::kSa},
      {"sl", Word::kSl},
      {"slmult", Word::kSlmult},
      {"keep", Word::kKeep},
      {"keepn", Word::kKeepn},
      {"pagebb", Word::kPagebb},
      {"intbl", Word::kIntbl},
      {"itap", Word::kItap},
      {"ls", Word::kLs},
      {"ilvl", Word::kIlvl},
      {"cbpat", Word::kCbpat},
      {"tx", Word::kTx},
      {"tqr", Word::kTqr},
      {"tqc", Word::kTqc},
      {"tqdec", Word::kTqdec},
      {"brdrt", Word::kBrdrt},
      {"brdrb", Word::kBrdrb},
      {"brdrl", Word::kBrdrl},
      {"brdrr", Word::kBrdrr},
      {"box", Word::kBox},
      {"brsp", Word::kBrsp},
      {"brdrs", Word::kBrdrs},
      {"brdrth", Word::kBrdrth},
      {"brdrdot", Word::kBrdrdot},
      {"brdrdash", Word::kBrdrdash},
      {"brdrdashsm", Word::kBrdrdash},
      {"brdrdb", Word::kBrdrdb},
      {"brdrnone", Word::kBrdrnone},
      {"brdrnil", Word::kBrdrnone},
      {"brdrtbl", Word::kBrdrnone},
      {"brdrw", Word::kBrdrw},
      {"brdrcf", Word::kBrdrcf},
      {"trowd", Word::kTrowd},
      {"trleft", Word::kTrleft},
      {"trgaph", Word::kTrgaph},
      {"trqc", Word::kTrqc},
      {"trqr", Word::kTrqr},
      {"cellx", Word::kCellx},
      {"cell", Word::kCell},
      {"row", Word::kRow},
      {"nestcell", Word::kNestcell},
      {"nestrow", Word::kNestrow},
      {"clbrdrt", Word::kClbrdrt},
      {"clbrdrb", Word::kClbrdrb},
      {"clbrdrl", Word::kClbrdrl},
      {"clbrdrr", Word::kClbrdrr},
      {"clcbpat", Word::kClcbpat},
      {"clvertalt", Word::kClvertalt},
      {"clvertalc", Word::kClvertalc},
      {"clvertalb", Word::kClvertalb},
      {"clmgf", Word::kClmgf},
      {"clmrg", Word::kClmrg},
      {"clvmgf", Word::kClvmgf},
      {"clvmrg", Word::kClvmrg},
      {"trbrdrt", Word::kTrbrdr},
      {"trbrdrb", Word::kTrbrdr},
      {"trbrdrl", Word::kTrbrdr},
      {"trbrdrr", Word::kTrbrdr},
      {"trbrdrh", Word::kTrbrdr},
      {"trbrdrv", Word::kTrbrdr},
      {"listtable", Word::kListtable},
      {"list", Word::kList},
      {"listid", Word::kListid},
      {"listlevel", Word::kListlevel},
      {"levelnfc", Word::kLevelnfc},
      {"levelnfcn", Word::kLevelnfc},
      {"levelstartat", Word::kLevelstartat},
      {"leveltext", Word::kLeveltext},
      {"levelnumbers", Word::kLevelnumbers},
      {"listname", Word::kListname},
      {"listoverridetable", Word::kListoverridetable},
      {"listoverride", Word::kListoverride},
      {"pn", Word::kPn},
      {"pnlvlblt", Word::kPnlvlblt},
      {"pnlvlbody", Word::kPnlvlbody},
      {"pnlvlcont", Word::kPnlvlcont},
      {"pnlvl", Word::kPnlvl},
      {"pndec", Word::kPndec},
      {"pnucrm", Word::kPnucrm},
      {"pnlcrm", Word::kPnlcrm},
      {"pnucltr", Word::kPnucltr},
      {"pnlcltr", Word::kPnlcltr},
      {"pnstart", Word::kPnstart},
      {"pntxta", Word::kPntxta},
      {"pntxtb", Word::kPntxtb},
      {"pngblip", Word::kPngblip},
      {"jpegblip", Word::kJpegblip},
      {"emfblip", Word::kEmfblip},
      {"wmetafile", Word::kWmetafile},
      {"dibitmap", Word::kDibitmap},
      {"wbitmap", Word::kWbitmap},
      {"macpict", Word::kOtherBlip},
      {"pmmetafile", Word::kOtherBlip},
      {"picw", Word::kPicw},
      {"pich", Word::kPich},
      {"picwgoal", Word::kPicwgoal},
      {"pichgoal", Word::kPichgoal},
      {"picscalex", Word::kPicscalex},
      {"picscaley", Word::kPicscaley},
      {"wbmbitspixel", Word::kWbmbitspixel},
      {"wbmwidthbytes", Word::kWbmwidthbytes},
  };
  return table;
}

int Length(const RtfToken& t) {
  return std::clamp(t.param, -kMaxLength, kMaxLength);
}

QTextFrameFormat::BorderStyle QtBorderStyle(int style) {
  switch (style) {
    case 1:
      return QTextFrameFormat::BorderStyle_Solid;
    case 2:
      return QTextFrameFormat::BorderStyle_Dotted;
    case 3:
      return QTextFrameFormat::BorderStyle_Dashed;
    case 4:
      return QTextFrameFormat::BorderStyle_Double;
    default:
      return QTextFrameFormat::BorderStyle_None;
  }
}

Qt::PenStyle PenStyle(int style) {
  switch (style) {
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashLine;
    default:
      return Qt::SolidLine;
  }
}

// Arguments of a field instruction, with quotes removed.
QStringList FieldArguments(const QString& inst) {
  QStringList args;
  qsizetype i = 0;
  while (i < inst.size()) {
    while (i < inst.size() && inst[i].isSpace()) ++i;
    if (i >= inst.size()) break;
    QString arg;
    if (inst[i] == u'"') {
      ++i;
      while (i < inst.size() && inst[i] != u'"') {
        if (inst[i] == u'\\' && i + 1 < inst.size()) ++i;  // \" and \\ inside quotes
        arg.append(inst[i++]);
      }
      ++i;
    } else {
      while (i < inst.size() && !inst[i].isSpace()) arg.append(inst[i++]);
    }
    args.append(arg);
  }
  return args;
}

QString HyperlinkTarget(const QString& inst) {
  QStringList args = FieldArguments(inst);
  if (args.isEmpty() || args[0].compare(u"HYPERLINK", Qt::CaseInsensitive) != 0) return {};
  QString url, anchor;
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i].startsWith(u'\\') && args[i].size() == 2) {
      QChar sw = args[i][1].toLower();
      if (sw == u'l' && i + 1 < args.size())
        anchor = args[++i];
      else if ((sw == u'o' || sw == u't') && i + 1 < args.size())
        ++i;
      continue;
    }
    if (url.isEmpty()) url = args[i];
  }
  if (!anchor.isEmpty()) url += u'#' + anchor;
  return url;
}

class Reader {
 public:
  Reader(std::string_view data, RtfDocument& doc) : tokens_(data), doc_(doc) {}
  void Run();

 private:
  State& Top() { return stack_.back(); }
  void GroupStart();
  void GroupEnd();
  void SkipGroup();
  void HandleWord(const RtfToken& t);
  void HandleSymbol(char symbol);
  void HandleText(std::string_view bytes);
  void HandleHex(unsigned char byte);
  void FlushBytes();
  void Emit(QStringView text);
  void EmitChar(char16_t c) {
    FlushBytes();
    Emit(QStringView(&c, 1));
  }
  void AppendToParagraph(QStringView text);
  bool SetDestination(Word word, bool starred);
  int CodePage() const;

  void EndParagraph(int depth = -1);
  void EndCell(int depth);
  void EndRow(int depth);
  void ApplyBorder(Word word, const RtfToken& t);
  void FinishPicture();
  int ListIndexFor(const ParaProps& para);
  QTextCharFormat CharFormat(const CharProps& props);
  QTextBlockFormat BlockFormat(const ParaProps& para);
  std::optional<QColor> Color(int index) const;
  int ParagraphDepth(const ParaProps& para) const;

  RtfTokenizer tokens_;
  RtfDocument& doc_;
  std::vector<State> stack_;
  bool star_ = false;
  int ucSkip_ = 0;

  std::string pendingBytes_;
  int pendingCodePage_ = kCodePage1252;
  CodePageDecoder decoder_;
  int docCodePage_ = kCodePage1252;
  int defaultFont_ = -1;

  std::map<int, FontEntry> fonts_;
  int fontEntry_ = -1;
  QString fontName_;
  std::vector<std::optional<QColor>> colors_;
  int red_ = -1, green_ = -1, blue_ = -1;
  QString infoText_;

  RtfParagraph paragraph_;
  CharProps runProps_;
  bool runOpen_ = false;
  CharProps cachedProps_;
  QTextCharFormat cachedFormat_;
  bool cacheValid_ = false;
  bool pendingPageBreak_ = false;

  std::vector<Field> fields_;
  std::vector<QString> links_;

  RtfTableStack tables_;
  std::array<RtfRowDef, kMaxTableDepth + 1> rowDefs_;
  int rowDefDepth_ = 1;
  bool sawRowDef_ = false;
  RtfCellDef cellDef_;
  BorderTarget borderTarget_ = BorderTarget::kNone;

  RtfPictureSource picture_;
  int hexNibble_ = -1;

  struct ListDef {
    int id = 0;
    std::vector<RtfListLevel> levels;
  };
  std::vector<ListDef> listDefs_;
  std::map<int, int> overrides_;  // \ls -> \listid
  int overrideListId_ = 0;
  QString levelText_;
  std::map<std::pair<int, int>, int> listIndex_;
  PnProps pn_;
  std::optional<PnProps> lastPn_;
  int lastPnList_ = -1;
  int footnotes_ = 0;
  QString pnBefore_, pnAfter_;
};

int Reader::CodePage() const {
  const State& s = stack_.back();
  int font = s.chr.font;
  if (s.dest == Dest::kFontTable) font = fontEntry_;
  auto it = fonts_.find(font);
  if (it != fonts_.end() && it->second.codePage != 0) return it->second.codePage;
  return docCodePage_;
}

std::optional<QColor> Reader::Color(int index) const {
  if (index < 0 || index >= static_cast<int>(colors_.size())) return std::nullopt;
  return colors_[index];
}

void Reader::Run() {
  stack_.emplace_back();
  bool done = false;
  while (!done) {
    RtfToken t = tokens_.Next();
    if (t.kind == RtfToken::kEnd) break;
    switch (t.kind) {
      case RtfToken::kGroupStart:
        GroupStart();
        break;
      case RtfToken::kGroupEnd:
        GroupEnd();
        if (stack_.size() <= 1) done = true;  // the document's closing brace
        break;
      case RtfToken::kWord:
        if (ucSkip_ > 0 && !(t.text == "bin")) {
          --ucSkip_;
          break;
        }
        HandleWord(t);
        break;
      case RtfToken::kSymbol:
        if (ucSkip_ > 0) {
          --ucSkip_;
          break;
        }
        HandleSymbol(t.symbol);
        break;
      case RtfToken::kHex:
        if (ucSkip_ > 0) {
          --ucSkip_;
          break;
        }
        HandleHex(t.hex);
        break;
      case RtfToken::kText: {
        std::string_view bytes = t.text;
        if (ucSkip_ > 0) {
          size_t n = std::min<size_t>(ucSkip_, bytes.size());
          ucSkip_ -= static_cast<int>(n);
          bytes.remove_prefix(n);
        }
        if (!bytes.empty()) HandleText(bytes);
        break;
      }
      case RtfToken::kEnd:
        break;
    }
  }
  // Truncated input: close what is open.
  while (stack_.size() > 1) GroupEnd();
  FlushBytes();
  if (!paragraph_.runs.empty()) EndParagraph();
  tables_.CloseAll(doc_.body);
  auto font = fonts_.find(defaultFont_);
  if (font != fonts_.end()) doc_.defaultFamily = font->second.name;
}

void Reader::GroupStart() {
  FlushBytes();
  ucSkip_ = 0;
  if (static_cast<int>(stack_.size()) >= kMaxGroupDepth || Top().dest == Dest::kSkip) {
    SkipGroup();
    return;
  }
  star_ = false;
  State next = Top();
  if (next.dest == Dest::kUpr) next.dest = Dest::kSkip;  // the ANSI half of \upr
  stack_.push_back(std::move(next));
}

// Skips to the end of the group just opened, minding \bin data.
void Reader::SkipGroup() {
  int depth = 1;
  while (depth > 0) {
    RtfToken t = tokens_.Next();
    if (t.kind == RtfToken::kEnd) return;
    if (t.kind == RtfToken::kGroupStart) ++depth;
    if (t.kind == RtfToken::kGroupEnd) --depth;
    if (t.kind == RtfToken::kWord && t.text == "bin" && t.hasParam) tokens_.ReadBinary(t.param);
  }
}

void Reader::GroupEnd() {
  FlushBytes();
  ucSkip_ = 0;
  star_ = false;
  if (stack_.size() <= 1) return;  // a stray closing brace
  // The document's closing brace: its last paragraph may lack \par, and its
  // paragraph properties live in the state about to go.
  if (stack_.size() == 2 && !paragraph_.runs.empty()) EndParagraph();
  State closed = std::move(stack_.back());
  stack_.pop_back();
  State& parent = stack_.back();
  const int depth = static_cast<int>(stack_.size());

  if (closed.dest == Dest::kFontTable && parent.dest != Dest::kFontTable) fontEntry_ = -1;
  if (closed.dest == Dest::kInfoText && parent.dest != Dest::kInfoText) {
    QString text = infoText_.trimmed();
    switch (closed.info) {
      case InfoField::kTitle:
        doc_.info.title = text;
        break;
      case InfoField::kAuthor:
        doc_.info.author = text;
        break;
      case InfoField::kSubject:
        doc_.info.subject = text;
        break;
      case InfoField::kKeywords:
        doc_.info.keywords = text;
        break;
      case InfoField::kNone:
        break;
    }
    infoText_.clear();
  }
  if (closed.dest == Dest::kPicture && parent.dest != Dest::kPicture) FinishPicture();
  if (closed.dest == Dest::kLevelText && parent.dest != Dest::kLevelText) {
    if (!listDefs_.empty() && !listDefs_.back().levels.empty()) {
      // The first character is the template's length.
      QString text = levelText_;
      if (!text.isEmpty()) {
        int length = text[0].unicode();
        text = text.mid(1, length);
      }
      listDefs_.back().levels.back().text = text;
    }
    levelText_.clear();
  }
  if (closed.dest == Dest::kPnText && parent.dest == Dest::kPn) {
    (closed.pnText == PnText::kBefore ? pnBefore_ : pnAfter_) = levelText_;
    levelText_.clear();
  }
  if (closed.dest == Dest::kPn && parent.dest != Dest::kPn) {
    pn_.level.text = pnBefore_ + QChar(char16_t(0)) + pnAfter_;
    parent.para.pn = pn_;
  }
  if (closed.fieldDepth == depth + 1 && parent.fieldDepth != depth + 1) {
    if (!fields_.empty()) fields_.pop_back();
  }
}

bool Reader::SetDestination(Word word, bool starred) {
  State& s = Top();
  switch (word) {
    case Word::kFonttbl:
      s.dest = Dest::kFontTable;
      return true;
    case Word::kColortbl:
      s.dest = Dest::kColorTable;
      return true;
    case Word::kStylesheet:
      s.dest = Dest::kSkip;
      return true;
    case Word::kInfo:
      s.dest = Dest::kInfo;
      return true;
    case Word::kTitle:
    case Word::kAuthor:
    case Word::kSubject:
    case Word::kKeywords:
      if (s.dest != Dest::kInfo) {
        s.dest = Dest::kSkip;
        return true;
      }
      s.dest = Dest::kInfoText;
      s.info = word == Word::kTitle     ? InfoField::kTitle
               : word == Word::kAuthor  ? InfoField::kAuthor
               : word == Word::kSubject ? InfoField::kSubject
                                        : InfoField::kKeywords;
      infoText_.clear();
      return true;
    case Word::kSkipDest:
    case Word::kNonshppict:
    case Word::kNonesttables:
    case Word::kPntext:
    case Word::kListtext:
      s.dest = Dest::kSkip;
      return true;
    case Word::kField:
      fields_.push_back({QString(), static_cast<int>(stack_.size())});
      s.fieldDepth = static_cast<int>(stack_.size());
      s.dest = Dest::kBody;
      return true;
    case Word::kFldinst:
      if (fields_.empty()) {
        s.dest = Dest::kSkip;
        return true;
      }
      s.dest = Dest::kFieldInst;
      return true;
    case Word::kFldrslt: {
      s.dest = Dest::kBody;
      if (!fields_.empty()) {
        QString href = HyperlinkTarget(fields_.back().inst);
        if (!href.isEmpty()) {
          links_.push_back(href);
          s.chr.link = static_cast<int>(links_.size()) - 1;
        }
      }
      return true;
    }
    case Word::kPict:
      s.dest = Dest::kPicture;
      picture_ = RtfPictureSource();
      hexNibble_ = -1;
      return true;
    case Word::kShppict:
    case Word::kObject:
    case Word::kResult:
    case Word::kShp:
    case Word::kShprslt:
      if (s.dest != Dest::kBody) s.dest = Dest::kSkip;
      return true;
    case Word::kNesttableprops:
      s.dest = Dest::kBody;
      s.nestProps = true;
      return true;
    case Word::kUpr:
      s.uprOuter = s.dest;
      s.dest = Dest::kUpr;
      return true;
    case Word::kUd:
      s.dest = s.uprOuter;
      return true;
    case Word::kListtable:
      s.dest = Dest::kListTable;
      return true;
    case Word::kListoverridetable:
      s.dest = Dest::kListOverrideTable;
      return true;
    case Word::kLeveltext:
      if (s.dest != Dest::kListTable) return false;
      s.dest = Dest::kLevelText;
      levelText_.clear();
      return true;
    case Word::kLevelnumbers:
    case Word::kListname:
      if (s.dest == Dest::kListTable) s.dest = Dest::kSkip;
      return s.dest == Dest::kSkip;
    case Word::kPn:
      s.dest = Dest::kPn;
      pn_ = PnProps();
      pnBefore_.clear();
      pnAfter_.clear();
      return true;
    case Word::kPntxta:
    case Word::kPntxtb:
      if (s.dest != Dest::kPn) return false;
      s.dest = Dest::kPnText;
      s.pnText = word == Word::kPntxtb ? PnText::kBefore : PnText::kAfter;
      levelText_.clear();
      return true;
    default:
      if (starred) {
        s.dest = Dest::kSkip;
        return true;
      }
      return false;
  }
}

void Reader::HandleWord(const RtfToken& t) {
  FlushBytes();
  const auto& table = WordTable();
  auto it = table.find(t.text);
  const Word word = it == table.end() ? Word::kUnknown : it->second;
  const bool starred = star_;
  star_ = false;
  State& s = Top();

  if (word == Word::kBin) {
    // Raw bytes follow: consume them whatever the destination.
    std::string_view bytes = tokens_.ReadBinary(t.hasParam ? t.param : 0);
    if (s.dest == Dest::kPicture) picture_.data.append(bytes.data(), bytes.size());
    return;
  }
  if (s.dest == Dest::kSkip && !(starred && word == Word::kUd)) return;
  if (SetDestination(word, starred)) return;

  const int p = t.param;
  const bool on = !t.hasParam || t.param != 0;
  CharProps& c = s.chr;
  ParaProps& para = s.para;

  switch (word) {
    case Word::kRtf:
    case Word::kAnsi:
      docCodePage_ = 1252;
      break;
    case Word::kMac:
      docCodePage_ = 10000;
      break;
    case Word::kPc:
      docCodePage_ = 437;
      break;
    case Word::kPca:
      docCodePage_ = 850;
      break;
    case Word::kAnsicpg:
      if (t.hasParam && p > 0) docCodePage_ = p;
      break;
    case Word::kDeff:
      defaultFont_ = p;
      if (stack_.size() >= 1) {
        for (State& st : stack_) {
          if (st.chr.font < 0) st.chr.font = p;
        }
      }
      break;
    case Word::kF:
      if (s.dest == Dest::kFontTable) {
        fontEntry_ = p;
        fontName_.clear();
        fonts_[p];
      } else {
        c.font = p;
      }
      break;
    case Word::kFcharset:
      if (s.dest == Dest::kFontTable && fontEntry_ >= 0 && fonts_[fontEntry_].codePage == 0) {
        fonts_[fontEntry_].codePage = CodePageForCharset(p);
      }
      break;
    case Word::kCpg:
      if (s.dest == Dest::kFontTable && fontEntry_ >= 0 && p > 0) fonts_[fontEntry_].codePage = p;
      break;
    case Word::kRed:
      red_ = std::clamp(p, 0, 255);
      break;
    case Word::kGreen:
      green_ = std::clamp(p, 0, 255);
      break;
    case Word::kBlue:
      blue_ = std::clamp(p, 0, 255);
      break;

    case Word::kPar:
    case Word::kSect:
      if (s.dest == Dest::kBody) EndParagraph();
      break;
    case Word::kLine:
      EmitChar(QChar::LineSeparator);
      break;
    case Word::kTab:
      EmitChar(u'\t');
      break;
    case Word::kPage:
      if (s.dest != Dest::kBody) break;
      if (!paragraph_.runs.empty()) EndParagraph();
      pendingPageBreak_ = true;
      break;
    case Word::kChftn:
      // The automatic footnote number; the footnote's own text is skipped.
      if (s.dest == Dest::kBody) {
        const QString number = QString::number(++footnotes_);
        FlushBytes();
        Emit(number);
      }
      break;
    case Word::kEmdash:
      EmitChar(0x2014);
      break;
    case Word::kEndash:
      EmitChar(0x2013);
      break;
    case Word::kBullet:
      EmitChar(0x2022);
      break;
    case Word::kLquote:
      EmitChar(0x2018);
      break;
    case Word::kRquote:
      EmitChar(0x2019);
      break;
    case Word::kLdblquote:
      EmitChar(0x201C);
      break;
    case Word::kRdblquote:
      EmitChar(0x201D);
      break;
    case Word::kEmspace:
      EmitChar(0x2003);
      break;
    case Word::kEnspace:
      EmitChar(0x2002);
      break;
    case Word::kQmspace:
      EmitChar(0x2005);
      break;
    case Word::kZwj:
      EmitChar(0x200D);
      break;
    case Word::kZwnj:
      EmitChar(0x200C);
      break;
    case Word::kLtrmark:
      EmitChar(0x200E);
      break;
    case Word::kRtlmark:
      EmitChar(0x200F);
      break;
    case Word::kU: {
      int value = p;
      if (value < 0) value += 65536;
      if (value >= 0 && value <= 0xFFFF) EmitChar(static_cast<char16_t>(value));
      ucSkip_ = s.uc;
      break;
    }
    case Word::kUc:
      s.uc = std::clamp(p, 0, 16);
      break;

    case Word::kPlain: {
      CharProps fresh;
      fresh.font = defaultFont_;
      fresh.link = c.link;  // a field's result keeps its link through \plain
      c = fresh;
      break;
    }
    case Word::kB:
      c.bold = on;
      break;
    case Word::kI:
      c.italic = on;
      break;
    case Word::kUl:
      c.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
      break;
    case Word::kUlOther:
      c.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
      break;
    case Word::kUld:
      c.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
      break;
    case Word::kUldash:
      c.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
      break;
    case Word::kUldashd:
      c.underline = on ? QTextCharFormat::DashDotLine : QTextCharFormat::NoUnderline;
      break;
    case Word::kUldashdd:
      c.underline = on ? QTextCharFormat::DashDotDotLine : QTextCharFormat::NoUnderline;
      break;
    case Word::kUlwave:
      c.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
      break;
    case Word::kUlnone:
      c.underline = QTextCharFormat::NoUnderline;
      break;
    case Word::kStrike:
      c.strike = on;
      break;
    case Word::kCaps:
      c.caps = on;
      break;
    case Word::kScaps:
      c.smallCaps = on;
      break;
    case Word::kSuper:
      c.valign = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
      break;
    case Word::kSub:
      c.valign = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
      break;
    case Word::kNosupersub:
      c.valign = QTextCharFormat::AlignNormal;
      break;
    case Word::kUp:
      c.valign =
          (t.hasParam && p == 0) ? QTextCharFormat::AlignNormal : QTextCharFormat::AlignSuperScript;
      break;
    case Word::kDn:
      c.valign =
          (t.hasParam && p == 0) ? QTextCharFormat::AlignNormal : QTextCharFormat::AlignSubScript;
      break;
    case Word::kFs:
      c.size = t.hasParam ? std::clamp(p, 2, 3276) : 24;
      break;
    case Word::kCf:
      c.fg = p;
      break;
    case Word::kCb:
    case Word::kHighlight:
    case Word::kChcbpat:
      c.bg = p;
      break;
    case Word::kV:
      c.hidden = on;
      break;

    case Word::kPard: {
      ParaProps fresh;
      para = fresh;
      break;
    }
    case Word::kQl:
      para.align = 0;
      break;
    case Word::kQc:
      para.align = 1;
      break;
    case Word::kQr:
      para.align = 2;
      break;
    case Word::kQj:
      para.align = 3;
      break;
    case Word::kLi:
      para.li = Length(t);
      break;
    case Word::kRi:
      para.ri = Length(t);
      break;
    case Word::kFi:
      para.fi = Length(t);
      break;
    case Word::kSb:
      para.sb = Length(t);
      break;
    case Word::kSa:
      para.sa = Length(t);
      break;
    case Word::kSl:
      para.sl = Length(t);
      break;
    case Word::kSlmult:
      para.slmult = on;
      break;
    case Word::kKeep:
      para.keep = on;
      break;
    case Word::kKeepn:
      para.keepn = on;
      break;
    case Word::kPagebb:
      para.pagebb = on;
      break;
    case Word::kIntbl:
      para.intbl = on;
      break;
    case Word::kItap:
      para.itap = std::clamp(p, 0, kMaxTableDepth);
      break;
    case Word::kLs:
      para.ls = p;
      break;
    case Word::kIlvl:
      para.ilvl = std::clamp(p, 0, 8);
      break;
    case Word::kCbpat:
      if (borderTarget_ >= BorderTarget::kCellTop && borderTarget_ <= BorderTarget::kCellRight)
        break;
      para.shading = p;
      break;
    case Word::kTx: {
      // A kind given before (\tqr, \tqc, \tqdec) waits in a placeholder.
      if (!para.tabs.empty() && para.tabs.back().position < 0) {
        para.tabs.back().position = std::max(0, Length(t)) / kTwipsPerPixel;
      } else if (para.tabs.size() < 64) {
        para.tabs.emplace_back(std::max(0, Length(t)) / kTwipsPerPixel, QTextOption::LeftTab);
      }
      break;
    }
    case Word::kTqr:
    case Word::kTqc:
    case Word::kTqdec:
      // The kind comes before its \tx; remember it on a placeholder.
      para.tabs.emplace_back(-1.0, word == Word::kTqr   ? QTextOption::RightTab
                                   : word == Word::kTqc ? QTextOption::CenterTab
                                                        : QTextOption::DelimiterTab);
      if (para.tabs.size() >= 2 && para.tabs[para.tabs.size() - 2].position < 0) {
        para.tabs.erase(para.tabs.end() - 2);
      }
      if (para.tabs.size() > 64) para.tabs.pop_back();
      break;

    case Word::kBrdrt:
      borderTarget_ = BorderTarget::kParaTop;
      para.borders[0] = {1, 0, -1};
      break;
    case Word::kBrdrb:
      borderTarget_ = BorderTarget::kParaBottom;
      para.borders[1] = {1, 0, -1};
      break;
    case Word::kBrdrl:
      borderTarget_ = BorderTarget::kParaLeft;
      para.borders[2] = {1, 0, -1};
      break;
    case Word::kBrdrr:
      borderTarget_ = BorderTarget::kParaRight;
      para.borders[3] = {1, 0, -1};
      break;
    case Word::kBox:
      borderTarget_ = BorderTarget::kParaBox;
      for (Border& b : para.borders) b = {1, 0, -1};
      break;
    case Word::kBrsp:
      para.brsp = std::clamp(p, 0, 1440);
      break;
    case Word::kClbrdrt:
      borderTarget_ = BorderTarget::kCellTop;
      break;
    case Word::kClbrdrb:
      borderTarget_ = BorderTarget::kCellBottom;
      break;
    case Word::kClbrdrl:
      borderTarget_ = BorderTarget::kCellLeft;
      break;
    case Word::kClbrdrr:
      borderTarget_ = BorderTarget::kCellRight;
      break;
    case Word::kTrbrdr:
      borderTarget_ = BorderTarget::kOther;
      break;
    case Word::kBrdrs:
    case Word::kBrdrth:
    case Word::kBrdrdot:
    case Word::kBrdrdash:
    case Word::kBrdrdb:
    case Word::kBrdrnone:
    case Word::kBrdrw:
    case Word::kBrdrcf:
      ApplyBorder(word, t);
      break;

    case Word::kTrowd: {
      // Nested rows describe themselves inside \nesttableprops.
      rowDefDepth_ = s.nestProps ? std::max(2, ParagraphDepth(para)) : 1;
      rowDefs_[rowDefDepth_] = RtfRowDef();
      sawRowDef_ = true;
      cellDef_ = RtfCellDef();
      borderTarget_ = BorderTarget::kNone;
      break;
    }
    case Word::kTrleft:
      rowDefs_[rowDefDepth_].left = Length(t);
      break;
    case Word::kTrgaph:
      rowDefs_[rowDefDepth_].gap = std::clamp(p, 0, 1440);
      break;
    case Word::kTrqc:
      rowDefs_[rowDefDepth_].alignment = Qt::AlignHCenter;
      break;
    case Word::kTrqr:
      rowDefs_[rowDefDepth_].alignment = Qt::AlignRight;
      break;
    case Word::kCellx: {
      RtfRowDef& def = rowDefs_[rowDefDepth_];
      if (def.cells.size() < static_cast<size_t>(kMaxColumns)) {
        cellDef_.right = Length(t);
        def.cells.push_back(cellDef_);
      }
      cellDef_ = RtfCellDef();
      borderTarget_ = BorderTarget::kNone;
      break;
    }
    case Word::kClcbpat:
      if (auto color = Color(p)) cellDef_.format.setBackground(*color);
      break;
    case Word::kClvertalt:
      cellDef_.format.setVerticalAlignment(QTextCharFormat::AlignTop);
      break;
    case Word::kClvertalc:
      cellDef_.format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
      break;
    case Word::kClvertalb:
      cellDef_.format.setVerticalAlignment(QTextCharFormat::AlignBottom);
      break;
    case Word::kClmgf:
      cellDef_.horizontal = RtfMerge::kFirst;
      break;
    case Word::kClmrg:
      cellDef_.horizontal = RtfMerge::kContinue;
      break;
    case Word::kClvmgf:
      cellDef_.vertical = RtfMerge::kFirst;
      break;
    case Word::kClvmrg:
      cellDef_.vertical = RtfMerge::kContinue;
      break;
    case Word::kCell:
    case Word::kNestcell:
    case Word::kRow:
    case Word::kNestrow: {
      if (s.dest != Dest::kBody) break;
      // Cell and row marks outside any table, with no row ever defined, mark nothing.
      if (!para.intbl && !sawRowDef_ && tables_.Depth() == 0) break;
      const int depth =
          (word == Word::kCell || word == Word::kRow) ? 1 : std::max(2, ParagraphDepth(para));
      if (word == Word::kCell || word == Word::kNestcell) {
        EndCell(depth);
      } else {
        EndRow(depth);
      }
      break;
    }

    case Word::kList:
      if (s.dest == Dest::kListTable && listDefs_.size() < 10000) listDefs_.emplace_back();
      break;
    case Word::kListid:
      if (s.dest == Dest::kListTable && !listDefs_.empty()) listDefs_.back().id = p;
      if (s.dest == Dest::kListOverrideTable) overrideListId_ = p;
      break;
    case Word::kListlevel:
      if (s.dest == Dest::kListTable && !listDefs_.empty() && listDefs_.back().levels.size() < 9) {
        listDefs_.back().levels.emplace_back();
      }
      break;
    case Word::kLevelnfc:
      if (s.dest == Dest::kListTable && !listDefs_.empty() && !listDefs_.back().levels.empty()) {
        listDefs_.back().levels.back().nfc = p;
      }
      break;
    case Word::kLevelstartat:
      if (s.dest == Dest::kListTable && !listDefs_.empty() && !listDefs_.back().levels.empty()) {
        listDefs_.back().levels.back().start = p;
      }
      break;
    case Word::kListoverride:
      overrideListId_ = 0;
      break;
    case Word::kPnlvlblt:
      pn_.level.nfc = 23;
      pn_.ilvl = 0;
      break;
    case Word::kPnlvlbody:
      pn_.level.nfc = 0;
      pn_.ilvl = 0;
      break;
    case Word::kPnlvl:
      pn_.ilvl = std::clamp(p - 1, 0, 8);
      break;
    case Word::kPnlvlcont:
      pn_.level.nfc = 255;
      break;
    case Word::kPndec:
      pn_.level.nfc = 0;
      break;
    case Word::kPnucrm:
      pn_.level.nfc = 1;
      break;
    case Word::kPnlcrm:
      pn_.level.nfc = 2;
      break;
    case Word::kPnucltr:
      pn_.level.nfc = 3;
      break;
    case Word::kPnlcltr:
      pn_.level.nfc = 4;
      break;
    case Word::kPnstart:
      pn_.level.start = p;
      break;

    case Word::kPngblip:
      picture_.blip = RtfPictureSource::kPng;
      break;
    case Word::kJpegblip:
      picture_.blip = RtfPictureSource::kJpeg;
      break;
    case Word::kEmfblip:
      picture_.blip = RtfPictureSource::kEmf;
      break;
    case Word::kWmetafile:
      picture_.blip = RtfPictureSource::kWmf;
      break;
    case Word::kDibitmap:
      picture_.blip = RtfPictureSource::kDib;
      break;
    case Word::kWbitmap:
      picture_.blip = RtfPictureSource::kWbitmap;
      break;
    case Word::kOtherBlip:
      picture_.blip = RtfPictureSource::kOther;
      break;
    case Word::kPicw:
      picture_.picw = Length(t);
      break;
    case Word::kPich:
      picture_.pich = Length(t);
      break;
    case Word::kPicwgoal:
      picture_.goalw = Length(t);
      break;
    case Word::kPichgoal:
      picture_.goalh = Length(t);
      break;
    case Word::kPicscalex:
      picture_.scalex = p;
      break;
    case Word::kPicscaley:
      picture_.scaley = p;
      break;
    case Word::kWbmbitspixel:
      picture_.wbmBitsPixel = p;
      break;
    case Word::kWbmwidthbytes:
      picture_.wbmWidthBytes = Length(t);
      break;
    default:
      break;
  }
  if (word == Word::kListoverride || word == Word::kLs) {
    if (s.dest == Dest::kListOverrideTable && word == Word::kLs) overrides_[p] = overrideListId_;
  }
}

void Reader::ApplyBorder(Word word, const RtfToken& t) {
  auto update = [&](Border& b) {
    switch (word) {
      case Word::kBrdrs:
      case Word::kBrdrth:
        b.style = 1;
        break;
      case Word::kBrdrdot:
        b.style = 2;
        break;
      case Word::kBrdrdash:
        b.style = 3;
        break;
      case Word::kBrdrdb:
        b.style = 4;
        break;
      case Word::kBrdrnone:
        b.style = 0;
        break;
      case Word::kBrdrw:
        b.width = std::clamp(t.param, 0, 1440);
        break;
      case Word::kBrdrcf:
        b.color = t.param;
        break;
      default:
        break;
    }
  };
  ParaProps& para = Top().para;
  switch (borderTarget_) {
    case BorderTarget::kParaTop:
      update(para.borders[0]);
      break;
    case BorderTarget::kParaBottom:
      update(para.borders[1]);
      break;
    case BorderTarget::kParaLeft:
      update(para.borders[2]);
      break;
    case BorderTarget::kParaRight:
      update(para.borders[3]);
      break;
    case BorderTarget::kParaBox:
      for (Border& b : para.borders) update(b);
      break;
    case BorderTarget::kCellTop:
    case BorderTarget::kCellBottom:
    case BorderTarget::kCellLeft:
    case BorderTarget::kCellRight: {
      QTextTableCellFormat& f = cellDef_.format;
      const int side = static_cast<int>(borderTarget_) - static_cast<int>(BorderTarget::kCellTop);
      static constexpr std::array<int, 4> widthProp = {
          QTextFormat::TableCellTopBorder, QTextFormat::TableCellBottomBorder,
          QTextFormat::TableCellLeftBorder, QTextFormat::TableCellRightBorder};
      static constexpr std::array<int, 4> styleProp = {
          QTextFormat::TableCellTopBorderStyle, QTextFormat::TableCellBottomBorderStyle,
          QTextFormat::TableCellLeftBorderStyle, QTextFormat::TableCellRightBorderStyle};
      static constexpr std::array<int, 4> brushProp = {
          QTextFormat::TableCellTopBorderBrush, QTextFormat::TableCellBottomBorderBrush,
          QTextFormat::TableCellLeftBorderBrush, QTextFormat::TableCellRightBorderBrush};
      Border b;
      b.style = 1;
      b.width = 0;
      if (f.hasProperty(styleProp[side])) {
        int qs = f.intProperty(styleProp[side]);
        b.style = qs == QTextFrameFormat::BorderStyle_Dotted   ? 2
                  : qs == QTextFrameFormat::BorderStyle_Dashed ? 3
                  : qs == QTextFrameFormat::BorderStyle_Double ? 4
                  : qs == QTextFrameFormat::BorderStyle_None   ? 0
                                                               : 1;
        b.width = qRound(f.doubleProperty(widthProp[side]) * kTwipsPerPixel);
      }
      update(b);
      if (b.style == 0) {  // \brdrnone, \brdrnil: no border at all
        f.clearProperty(styleProp[side]);
        f.clearProperty(widthProp[side]);
        f.clearProperty(brushProp[side]);
        break;
      }
      f.setProperty(styleProp[side], QtBorderStyle(b.style));
      f.setProperty(widthProp[side], std::max(b.width, 1) / kTwipsPerPixel);
      if (word == Word::kBrdrcf) {
        if (auto color = Color(t.param)) f.setProperty(brushProp[side], QBrush(*color));
      }
      break;
    }
    default:
      break;
  }
}

void Reader::HandleSymbol(char symbol) {
  State& s = Top();
  switch (symbol) {
    case '*':
      star_ = true;
      return;
    case '\\':
    case '{':
    case '}':
      HandleText(std::string_view(&symbol, 1));
      return;
    case '~':
      EmitChar(0x00A0);
      return;
    case '-':
      EmitChar(0x00AD);
      return;
    case '_':
      EmitChar(0x2011);
      return;
    case '\n':
    case '\r':
      FlushBytes();
      if (s.dest == Dest::kBody) EndParagraph();
      return;
    case '\t':
      EmitChar(u'\t');
      return;
    default:
      return;  // \| \: and other symbols carry nothing for the text
  }
}

void Reader::HandleHex(unsigned char byte) {
  const Dest dest = Top().dest;
  if (dest == Dest::kSkip) return;
  if (dest == Dest::kPicture) return;  // hex-escaped picture bytes are not picture data
  if (pendingBytes_.empty()) pendingCodePage_ = CodePage();
  pendingBytes_.push_back(static_cast<char>(byte));
}

void Reader::HandleText(std::string_view bytes) {
  State& s = Top();
  switch (s.dest) {
    case Dest::kSkip:
    case Dest::kInfo:
    case Dest::kListTable:
    case Dest::kListOverrideTable:
    case Dest::kPn:
    case Dest::kUpr:
      return;
    case Dest::kPicture: {
      QByteArray& data = picture_.data;
      for (char ch : bytes) {
        int v = ch >= '0' && ch <= '9'   ? ch - '0'
                : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                         : -1;
        if (v < 0) continue;
        if (hexNibble_ < 0) {
          hexNibble_ = v;
        } else {
          data.append(static_cast<char>(hexNibble_ * 16 + v));
          hexNibble_ = -1;
        }
      }
      return;
    }
    case Dest::kColorTable:
      for (char ch : bytes) {
        if (ch != ';') continue;
        if (red_ < 0 && green_ < 0 && blue_ < 0) {
          colors_.emplace_back(std::nullopt);
        } else {
          colors_.emplace_back(QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
        }
        red_ = green_ = blue_ = -1;
        if (colors_.size() > 100000) colors_.pop_back();
      }
      return;
    case Dest::kFontTable: {
      size_t start = 0;
      for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == ';') {
          if (i > start) {
            if (pendingBytes_.empty()) pendingCodePage_ = CodePage();
            pendingBytes_.append(bytes.substr(start, i - start));
          }
          if (i < bytes.size()) {
            FlushBytes();
            if (fontEntry_ >= 0) fonts_[fontEntry_].name = fontName_.trimmed();
            fontName_.clear();
          }
          start = i + 1;
        }
      }
      return;
    }
    default:
      if (pendingBytes_.empty()) pendingCodePage_ = CodePage();
      pendingBytes_.append(bytes);
      return;
  }
}

void Reader::FlushBytes() {
  if (pendingBytes_.empty()) return;
  QString text;
  decoder_.Decode(pendingCodePage_, pendingBytes_, text);
  pendingBytes_.clear();
  Emit(text);
}

void Reader::Emit(QStringView text) {
  switch (Top().dest) {
    case Dest::kBody:
      AppendToParagraph(text);
      break;
    case Dest::kFontTable:
      fontName_.append(text);
      break;
    case Dest::kInfoText:
      if (infoText_.size() < 65536) infoText_.append(text);
      break;
    case Dest::kFieldInst:
      if (!fields_.empty() && fields_.back().inst.size() < 65536) fields_.back().inst.append(text);
      break;
    case Dest::kLevelText:
    case Dest::kPnText:
      if (levelText_.size() < 256) levelText_.append(text);
      break;
    default:
      break;
  }
}

void Reader::AppendToParagraph(QStringView text) {
  const CharProps& props = Top().chr;
  QString clean;
  clean.reserve(text.size());
  for (QChar ch : text) {
    char16_t u = ch.unicode();
    if (u < 0x20 && u != u'\t') continue;  // control bytes are not text
    if (u == QChar::ParagraphSeparator || u == QChar::ObjectReplacementCharacter) continue;
    clean.append(ch);
  }
  if (clean.isEmpty()) return;
  if (runOpen_ && !paragraph_.runs.empty() && runProps_ == props) {
    paragraph_.runs.back().text.append(clean);
    return;
  }
  paragraph_.runs.push_back({std::move(clean), CharFormat(props)});
  runProps_ = props;
  runOpen_ = true;
}

QTextCharFormat Reader::CharFormat(const CharProps& p) {
  if (cacheValid_ && cachedProps_ == p) return cachedFormat_;
  QTextCharFormat f;
  // Text in the default font at the default 12 points keeps to the document's
  // default font, which the document takes from \deff.
  auto font = fonts_.find(p.font);
  if (p.font != defaultFont_ && font != fonts_.end() && !font->second.name.isEmpty()) {
    f.setFontFamilies({font->second.name});
  }
  if (p.size != 24) f.setFontPointSize(p.size / 2.0);
  if (p.bold) f.setFontWeight(QFont::Bold);
  if (p.italic) f.setFontItalic(true);
  if (p.underline != QTextCharFormat::NoUnderline) {
    f.setUnderlineStyle(static_cast<QTextCharFormat::UnderlineStyle>(p.underline));
  }
  if (p.strike) f.setFontStrikeOut(true);
  if (p.caps) f.setFontCapitalization(QFont::AllUppercase);
  if (p.smallCaps) f.setFontCapitalization(QFont::SmallCaps);
  if (p.valign != QTextCharFormat::AlignNormal) {
    f.setVerticalAlignment(static_cast<QTextCharFormat::VerticalAlignment>(p.valign));
  }
  if (auto color = Color(p.fg)) f.setForeground(*color);
  if (auto color = Color(p.bg)) f.setBackground(*color);
  if (p.hidden) f.setProperty(kHiddenText, true);
  if (p.link >= 0 && p.link < static_cast<int>(links_.size())) {
    f.setAnchor(true);
    f.setAnchorHref(links_[p.link]);
  }
  cachedProps_ = p;
  cachedFormat_ = f;
  cacheValid_ = true;
  return f;
}

int Reader::ParagraphDepth(const ParaProps& para) const {
  if (!para.intbl) return 0;
  return std::clamp(para.itap, 1, kMaxTableDepth);
}

QTextBlockFormat Reader::BlockFormat(const ParaProps& p) {
  QTextBlockFormat f;
  switch (p.align) {
    case 1:
      f.setAlignment(Qt::AlignHCenter);
      break;
    case 2:
      f.setAlignment(Qt::AlignRight);
      break;
    case 3:
      f.setAlignment(Qt::AlignJustify);
      break;
    default:
      f.setAlignment(Qt::AlignLeft);
      break;
  }
  const bool list = p.ls >= 0 || p.pn.has_value();
  // Qt indents list items by their list's level: the paragraph's own indents
  // of a list item are that level.
  if (!list) {
    if (p.li) f.setLeftMargin(p.li / kTwipsPerPixel);
    if (p.fi) f.setTextIndent(p.fi / kTwipsPerPixel);
  }
  if (p.ri) f.setRightMargin(p.ri / kTwipsPerPixel);
  if (p.sb) f.setTopMargin(p.sb / kTwipsPerPixel);
  if (p.sa) f.setBottomMargin(p.sa / kTwipsPerPixel);
  if (p.sl != 0) {
    if (p.slmult && p.sl > 0) {
      f.setLineHeight(p.sl * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    } else if (p.sl > 0) {
      f.setLineHeight(p.sl / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    } else {
      f.setLineHeight(-p.sl / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    }
  }
  if (p.keep) f.setNonBreakableLines(true);
  if (p.keepn) f.setProperty(kKeepWithNext, true);
  if (p.pagebb) f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  if (auto color = Color(p.shading)) f.setBackground(*color);
  static constexpr std::array<int, 4> sides = {kBorderTop, kBorderBottom, kBorderLeft,
                                               kBorderRight};
  bool anyBorder = false;
  for (int i = 0; i < 4; ++i) {
    const Border& b = p.borders[i];
    if (b.style == 0) continue;
    QPen pen(Color(b.color).value_or(QColor(Qt::black)));
    pen.setWidthF(std::max(b.width, 1) / 20.0);
    pen.setStyle(PenStyle(b.style));
    f.setProperty(sides[i], pen);
    anyBorder = true;
  }
  if (anyBorder && p.brsp) f.setProperty(kBorderSpacing, p.brsp / 20.0);
  if (!p.tabs.empty()) {
    QList<QTextOption::Tab> tabs;
    for (const QTextOption::Tab& tab : p.tabs) {
      if (tab.position >= 0) tabs.append(tab);
    }
    if (!tabs.isEmpty()) f.setTabPositions(tabs);
  }
  return f;
}

int Reader::ListIndexFor(const ParaProps& para) {
  if (para.ls >= 0) {
    auto key = std::make_pair(para.ls, para.ilvl);
    auto found = listIndex_.find(key);
    if (found != listIndex_.end()) return found->second;
    auto override = overrides_.find(para.ls);
    RtfListLevel level;
    level.nfc = 23;
    level.text = QString(QChar(0x2022));
    if (override != overrides_.end()) {
      for (const ListDef& def : listDefs_) {
        if (def.id != override->second) continue;
        if (para.ilvl < static_cast<int>(def.levels.size())) level = def.levels[para.ilvl];
        break;
      }
    } else {
      return -1;  // no list of that number: plain paragraphs, as Word shows them
    }
    doc_.lists.push_back(ListFormatForLevel(level, para.ilvl));
    int index = static_cast<int>(doc_.lists.size()) - 1;
    listIndex_[key] = index;
    return index;
  }
  if (para.pn) {
    if (para.pn->level.nfc == 255) return lastPnList_;  // \pnlvlcont: no number of its own
    if (lastPn_ && *lastPn_ == *para.pn && lastPnList_ >= 0) return lastPnList_;
    doc_.lists.push_back(ListFormatForLevel(para.pn->level, para.pn->ilvl));
    lastPn_ = para.pn;
    lastPnList_ = static_cast<int>(doc_.lists.size()) - 1;
    return lastPnList_;
  }
  return -1;
}

void Reader::EndParagraph(int depth) {
  FlushBytes();
  const State& s = Top();
  paragraph_.format = BlockFormat(s.para);
  if (pendingPageBreak_) {
    paragraph_.format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    pendingPageBreak_ = false;
  }
  paragraph_.markFormat = CharFormat(s.chr);
  paragraph_.list = ListIndexFor(s.para);
  if (!s.para.pn) {
    lastPn_.reset();
    lastPnList_ = -1;
  }
  tables_.AddParagraph(std::move(paragraph_), depth >= 0 ? depth : ParagraphDepth(s.para),
                       doc_.body);
  paragraph_ = RtfParagraph();
  runOpen_ = false;
}

void Reader::EndCell(int depth) {
  // The cell mark decides the depth, even when the paragraph never said \intbl.
  EndParagraph(depth);
  tables_.EndCell(depth, doc_.body);
}

void Reader::EndRow(int depth) {
  FlushBytes();
  if (!paragraph_.runs.empty()) EndCell(depth);
  tables_.EndRow(depth, rowDefs_[std::clamp(depth, 1, kMaxTableDepth)], doc_.body);
}

void Reader::FinishPicture() {
  if (picture_.blip == RtfPictureSource::kUnknown && picture_.data.isEmpty()) return;
  RtfPicture picture;
  QTextImageFormat format;
  DecodePicture(picture_, picture.image, format);
  picture.name = QStringLiteral("rtf-picture-%1").arg(doc_.pictures.size() + 1);
  format.setName(picture.name);
  picture_ = RtfPictureSource();
  doc_.pictures.push_back(std::move(picture));
  // The picture takes the character formatting around it (links among it).
  QTextCharFormat around = CharFormat(Top().chr);
  if (around.isAnchor()) {
    format.setAnchor(true);
    format.setAnchorHref(around.anchorHref());
  }
  if (Top().dest != Dest::kBody) return;
  paragraph_.runs.push_back({QString(QChar(QChar::ObjectReplacementCharacter)), format});
  runOpen_ = false;
}

}  // namespace

bool ParseRtf(std::string_view data, RtfDocument& out, QString* error) {
  size_t start = 0;
  while (start < data.size() && (data[start] == ' ' || data[start] == '\t' || data[start] == '\r' ||
                                 data[start] == '\n')) {
    ++start;
  }
  if (data.substr(start, 5) != "{\\rtf") {
    if (error) *error = QStringLiteral("The file is not an RTF document.");
    return false;
  }
  Reader reader(data.substr(start), out);
  reader.Run();
  return true;
}

}  // namespace tollmark::io
