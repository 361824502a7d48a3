// Drawing of laid-out pages with Qt: PDF files and the preview window.
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileDialog>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QString>
#include <QStringList>
#include <QToolBar>

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>
#include <tuple>
#include <unordered_map>

#include "platform/FileWrite.h"
#include "platform/Paths.h"
#include "print/Output.h"

namespace print {

namespace {

PreviewHandler g_previewHandler;
PdfPathChooser g_pdfChooser;
PdfSaveNotice g_pdfNotice;
bool g_forcedOffscreen = false;   // we started Qt without a display
bool g_allowHeadlessPreview = false;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The application object that Qt's fonts and painters need. The program's
// window backend normally creates it at start-up; a run without one (tests,
// tools) gets one here that lives until the process ends.
QGuiApplication* EnsureApp() {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return app;
    if (QCoreApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        g_forcedOffscreen = true;
    }
    static int argc = 1;
    static char name[] = "zbr";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

// Windows font names the reports use, mapped to metric-compatible or at least
// Cyrillic-capable fonts found on Linux machines.
QStringList Families(const std::string& name) {
    const QString n = Q(name).trimmed().toLower();
    if (n == "times new roman" || n == "times")
        return {"Liberation Serif", "Tinos", "DejaVu Serif", "serif"};
    if (n == "courier new" || n == "courier")
        return {"Liberation Mono", "Cousine", "DejaVu Sans Mono", "monospace"};
    if (n == "ms sans serif" || n == "microsoft sans serif" || n == "arial" || n == "tahoma" ||
        n == "verdana" || n.isEmpty())
        return {"Liberation Sans", "Arimo", "DejaVu Sans", "sans-serif"};
    return {Q(name), "DejaVu Sans", "sans-serif"};
}

QFont MakeFont(const ResolvedFont& f) {
    QFont font;
    font.setFamilies(Families(f.name));
    font.setPointSizeF(f.sizePt);
    font.setBold(f.bold);
    font.setStyleStrategy(QFont::ForceOutline);
    font.setKerning(false);
    return font;
}

// Texts are measured on a 600 dpi device, the resolution the PDF is drawn
// at, so that a line measured to fit is drawn to fit. One metrics object per
// font (the reports use a handful).
constexpr int kMeasureDpi = 600;

// Narrowest a line is set to fit its box, as a share of its natural width.
constexpr double kMinCondense = 0.6;

// Start of the UTF-8 character after the one at `i`.
size_t NextChar(const std::string& s, size_t i) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    return i;
}

// Widths of texts in one font. Glyphs are set side by side (no kerning), so
// a text's width is close to the sum of its characters' advances, which
// are kept once measured; a text is measured whole only where that sum is
// too near the width asked about to decide. Reports of many thousand rows
// are measured in a moment so.
class FontMeasure {
public:
    explicit FontMeasure(const QFont& font, QPaintDevice* device) : metrics_(font, device) {}

    double Exact(const std::string& s, size_t pos, size_t len) const {
        return metrics_.horizontalAdvance(QString::fromUtf8(s.data() + pos, static_cast<qsizetype>(len))) * kMm;
    }

    double Sum(const std::string& s, size_t pos, size_t len) {
        double sum = 0;
        for (size_t i = pos, end = pos + len; i < end;) {
            const size_t next = std::min(NextChar(s, i), end);
            uint32_t key = 0;
            for (size_t j = i; j < next && j < i + 4; ++j) key = key << 8 | static_cast<unsigned char>(s[j]);
            auto it = advances_.find(key);
            if (it == advances_.end()) it = advances_.emplace(key, Exact(s, i, next - i)).first;
            sum += it->second;
            i = next;
        }
        return sum;
    }

    bool Fits(const std::string& s, size_t pos, size_t len, double widthMm) {
        constexpr double kSure = 0.03, kSlack = 1e-6;
        const double sum = Sum(s, pos, len);
        if (sum <= widthMm * (1 - kSure)) return true;
        if (sum > widthMm * (1 + kSure)) return false;
        return Exact(s, pos, len) <= widthMm + kSlack;
    }

private:
    static constexpr double kMm = 25.4 / kMeasureDpi;
    QFontMetricsF metrics_;
    std::unordered_map<uint32_t, double> advances_;
};

FontMeasure& MeasureOf(const ResolvedFont& f) {
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        const int dpm = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    static std::map<std::tuple<std::string, int, bool>, std::unique_ptr<FontMeasure>> cache;
    auto& m = cache[{f.name, f.sizePt, f.bold}];
    if (!m) m = std::make_unique<FontMeasure>(MakeFont(f), &device);
    return *m;
}

QRectF ToDevice(const RectMm& r, double k) { return QRectF(r.left * k, r.top * k, r.width * k, r.height * k); }

void DrawFrame(QPainter& p, const QRectF& r, const TQRFrame& frame, double widthMm, double k) {
    if (!frame.Any()) return;
    QPen pen(Qt::black);
    pen.setWidthF(widthMm * k);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (frame.DrawTop) p.drawLine(r.topLeft(), r.topRight());
    if (frame.DrawBottom) p.drawLine(r.bottomLeft(), r.bottomRight());
    if (frame.DrawLeft) p.drawLine(r.topLeft(), r.bottomLeft());
    if (frame.DrawRight) p.drawLine(r.topRight(), r.bottomRight());
}

void DrawItem(QPainter& p, const PlacedItem& it, double k, double pageHeight) {
    DrawFrame(p, ToDevice(it.rect, k), it.frame, it.frameWidthMm, k);
    const QRectF r = ToDevice(TextBox(it.rect), k);
    if (it.lines.empty()) return;
    int align = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    switch (it.alignment) {
        case taCenter: align |= Qt::AlignHCenter; break;
        case taRightJustify: align |= Qt::AlignRight; break;
        default: align |= Qt::AlignLeft; break;
    }
    // Text keeps inside its text box, clear of the box's edges and frame;
    // vertically it is not cut, so a line set in a tight box stays readable.
    p.save();
    p.setClipRect(QRectF(r.left(), 0, r.width(), pageHeight));
    p.setFont(MakeFont(it.font));
    p.setPen(Qt::black);
    const double pitch = it.linePitchMm * k;
    const QFontMetricsF metrics(p.font(), p.device());
    for (size_t i = 0; i < it.lines.size(); ++i) {
        if (it.lines[i].empty()) continue;
        const QString text = Q(it.lines[i]);
        const QRectF line(r.left(), r.top() + pitch * static_cast<double>(i), r.width(), pitch);
        const double natural = metrics.horizontalAdvance(text);
        if (natural <= line.width() || line.width() <= 0) {
            p.drawText(line, align, text);
            continue;
        }
        // A line wider than its box (a label, or a memo line its builder did
        // not wrap) is set narrower to fit, down to a limit that keeps it
        // legible; beyond that the clip cuts it.
        const double sx = std::max(line.width() / natural, kMinCondense);
        p.save();
        p.translate(line.left(), line.top());
        p.scale(sx, 1);
        p.drawText(QRectF(0, 0, line.width() / sx, pitch), align, text);
        p.restore();
    }
    p.restore();
}

void DrawPage(QPainter& p, const Page& page, double k) {
    const double pageHeight = page.heightMm * k;
    for (const PlacedBand& b : page.bands) {
        DrawFrame(p, ToDevice(b.rect, k), b.frame, b.frameWidthMm, k);
        for (const PlacedItem& it : b.items) DrawItem(p, it, k, pageHeight);
    }
}

// Paints every page on a paged device whose origin is the paper corner.
// Returns false when the device cannot be painted on.
bool DrawDocument(QPagedPaintDevice& dev, const Document& doc) {
    QPainter p;
    if (!p.begin(&dev)) return false;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const double k = dev.logicalDpiX() / 25.4;
    for (size_t i = 0; i < doc.pages.size(); ++i) {
        if (i > 0 && !dev.newPage()) {
            p.end();
            return false;
        }
        DrawPage(p, doc.pages[i], k);
    }
    return p.end();
}

QPageLayout MakePageLayout(const TQRPage& pg) {
    const bool landscape = pg.Width > pg.Length;
    const QSizeF portrait(landscape ? pg.Length : pg.Width, landscape ? pg.Width : pg.Length);
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

// Writes the pages as a PDF file: drawn into memory first, then written
// whole through a temporary file beside `path` (so a disk that takes only
// part of the bytes is a failure, not half a PDF); on failure the old file
// stays and *error names the problem.
bool WriteDocumentPdf(const Document& doc, const TQRPage& page, const std::string& path, std::string* error) {
    if (!EnsureApp()) {
        *error = "PDF output needs a graphical Qt application";
        return false;
    }
    QByteArray bytes;
    bool ok;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly)) {
            *error = "cannot write the PDF file " + path;
            return false;
        }
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setPageLayout(MakePageLayout(page));
        writer.setTitle(Q(doc.title));
        writer.setCreator(QStringLiteral("zbr"));
        ok = DrawDocument(writer, doc);
    }
    if (!ok || bytes.isEmpty()) {
        *error = "cannot draw the PDF file " + path;
        return false;
    }
    std::string why;
    if (platform::WriteWholeFile(path, std::string_view(bytes.constData(), std::size_t(bytes.size())), &why) !=
        platform::WriteResult::Ok) {
        *error = "cannot write the PDF file " + path + ": " + why;
        return false;
    }
    return true;
}

// Where "save as PDF" starts: the report's own name, else a file named after
// the report in the REPORT folder of the working folder (or the working
// folder itself when that is missing).
std::string SuggestedPdfPath(const TQuickRep& report) {
    if (!report.PdfFileName.empty()) return report.PdfFileName;
    std::string base = report.ReportTitle.empty() ? report.Name : report.ReportTitle;
    for (char& c : base)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    if (base.empty()) base = "report";
    std::error_code ec;
    const std::string folder = platform::InWorkDir("REPORT");
    const std::string dir = std::filesystem::is_directory(folder, ec) ? folder : platform::WorkDir();
    return dir + "/" + base + ".pdf";
}

std::string WithPdfExtension(const std::string& path) {
    const std::string name = platform::BaseName(path);
    return name.find('.') == std::string::npos ? path + ".pdf" : path;
}

// The preview's "save as PDF": never throws into Qt's event loop.
void SavePdfFromPreview(QWidget* parent, const TQuickRep& report, const Document& doc) {
    const std::string suggested = SuggestedPdfPath(report);
    std::string path;
    if (g_pdfChooser) {
        path = g_pdfChooser(suggested);
    } else {
        path = QFileDialog::getSaveFileName(parent, QStringLiteral("Зберегти у PDF"), Q(suggested),
                                            QStringLiteral("PDF (*.pdf)"))
                   .toStdString();
    }
    if (path.empty()) return;
    path = WithPdfExtension(path);
    std::string error;
    bool ok = false;
    try {
        ok = WriteDocumentPdf(doc, report.Page, path, &error);
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "unknown failure";
    }
    if (ok) error.clear();
    else if (error.empty()) error = "cannot write the PDF file " + path;
    if (g_pdfNotice) {
        g_pdfNotice(path, error);
        return;
    }
    const QString name = Q(platform::BaseName(path));
    if (ok)
        QMessageBox::information(parent, QStringLiteral("Збереження у PDF"),
                                 QStringLiteral("Дані збережені в файлі %1").arg(name));
    else
        QMessageBox::critical(parent, QStringLiteral("Помилка"),
                              QStringLiteral("Помилка роботи з файлом\n%1").arg(name));
}

}  // namespace

void SetPreviewHandler(PreviewHandler handler) { g_previewHandler = std::move(handler); }

void AllowPreviewWithoutDisplay(bool allow) { g_allowHeadlessPreview = allow; }

void SetPdfPathChooser(PdfPathChooser chooser) { g_pdfChooser = std::move(chooser); }

void SetPdfSaveNotice(PdfSaveNotice notice) { g_pdfNotice = std::move(notice); }

double TextWidthMm(const ResolvedFont& font, const std::string& text) {
    if (text.empty()) return 0;
    if (!EnsureApp()) throw ReportError("measuring text needs a graphical Qt application");
    return MeasureOf(font).Exact(text, 0, text.size());
}

std::vector<std::string> WrapText(const ResolvedFont& font, const std::string& text, double widthMm) {
    if (text.empty()) return {text};
    if (!EnsureApp()) throw ReportError("measuring text needs a graphical Qt application");
    FontMeasure& m = MeasureOf(font);
    const size_t n = text.size();
    auto fits = [&](size_t from, size_t to) { return m.Fits(text, from, to - from, widthMm); };
    if (fits(0, n)) return {text};
    std::vector<std::string> lines;
    // Blanks before a text only set it off in its column: a text that is
    // too wide loses them first.
    size_t pos = 0;
    while (pos < n && text[pos] == ' ') ++pos;
    if (pos == n) return {std::string()};
    if (fits(pos, n)) return {text.substr(pos)};
    while (pos < n) {
        // The longest run of whole words from `pos` that fits.
        size_t end = std::string::npos;
        for (size_t e = pos + 1; e <= n; ++e) {
            if (e < n && !(text[e] == ' ' && text[e - 1] != ' ')) continue;
            if (!fits(pos, e)) break;
            end = e;
        }
        // A word wider than the whole width stands alone on its line: whole
        // when it is set narrower to fit (a number or a code is never cut),
        // else as many of its characters as fit, at least one.
        if (end == std::string::npos) {
            size_t word = pos;
            while (word < n && text[word] != ' ') ++word;
            if (m.Fits(text, pos, word - pos, widthMm / kMinCondense)) {
                lines.push_back(text.substr(pos, word - pos));
                pos = word;
                while (pos < n && text[pos] == ' ') ++pos;
                continue;
            }
            end = NextChar(text, pos);
            while (end < n && text[end] != ' ') {
                const size_t e = NextChar(text, end);
                if (!fits(pos, e)) break;
                end = e;
            }
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end;
        while (pos < n && text[pos] == ' ') ++pos;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

std::vector<std::string> WrapToItem(const TQRPrintable& item, const std::string& text) {
    const RectMm box = TextBox({0, 0, PixelsToMm(item.Width), 0});
    return WrapText(ResolveFont(item), text, box.width);
}

void SavePdf(const TQuickRep& report, const std::string& path) {
    const Document doc = Layout(report);
    std::string error;
    if (!WriteDocumentPdf(doc, report.Page, path, &error)) throw ReportError(error);
}

void Preview(const TQuickRep& report) {
    const Document doc = Layout(report);
    if (g_previewHandler) {
        g_previewHandler(report, doc);
        return;
    }
    EnsureApp();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || g_forcedOffscreen)
        throw ReportError("the print preview needs a display");
    const QString platform = QGuiApplication::platformName();
    if (!g_allowHeadlessPreview && (platform == "offscreen" || platform == "minimal"))
        throw ReportError("the print preview needs a display");

    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(MakePageLayout(report.Page));
    printer.setDocName(Q(doc.title.empty() ? report.Name : doc.title));

    QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Попередній перегляд"));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        dialog.resize(avail.width() * 3 / 4, avail.height() * 9 / 10);
    }
    bool paintFailed = false;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        // Nothing may be thrown through Qt's event loop: remember the failure.
        if (!DrawDocument(*target, doc)) paintFailed = true;
    });
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* save = bar->addAction(QStringLiteral("PDF"));
        save->setObjectName(QStringLiteral("actionSavePdf"));
        save->setText(QStringLiteral("Зберегти у PDF"));
        save->setToolTip(QStringLiteral("Зберегти у файлі PDF"));
        if (auto* style = dialog.style()) save->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
        QObject::connect(save, &QAction::triggered, &dialog,
                         [&dialog, &report, &doc] { SavePdfFromPreview(&dialog, report, doc); });
    }
    dialog.exec();
    if (paintFailed) throw ReportError("the report could not be drawn for preview or printing");
}

}  // namespace print
