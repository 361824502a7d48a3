// Drawing of laid-out pages with Qt: PDF files and the preview window.
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/FileWrite.h"
#include "print/Output.h"

namespace print {

namespace {

PreviewHandler g_previewHandler;
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
    const QRectF r = ToDevice(it.rect, k);
    DrawFrame(p, r, it.frame, it.frameWidthMm, k);
    if (it.lines.empty()) return;
    int align = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    switch (it.alignment) {
        case taCenter: align |= Qt::AlignHCenter; break;
        case taRightJustify: align |= Qt::AlignRight; break;
        default: align |= Qt::AlignLeft; break;
    }
    // Text never spills sideways into the next column; vertically it is not
    // cut, so a line set in a tight box stays readable.
    p.save();
    p.setClipRect(QRectF(r.left(), 0, r.width(), pageHeight));
    p.setFont(MakeFont(it.font));
    p.setPen(Qt::black);
    const double pitch = it.linePitchMm * k;
    for (size_t i = 0; i < it.lines.size(); ++i) {
        if (it.lines[i].empty()) continue;
        const QRectF line(r.left(), r.top() + pitch * static_cast<double>(i), r.width(), pitch);
        p.drawText(line, align, Q(it.lines[i]));
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

}  // namespace

void SetPreviewHandler(PreviewHandler handler) { g_previewHandler = std::move(handler); }

void AllowPreviewWithoutDisplay(bool allow) { g_allowHeadlessPreview = allow; }

void SavePdf(const TQuickRep& report, const std::string& path) {
    const Document doc = Layout(report);
    if (!EnsureApp()) throw ReportError("PDF output needs a graphical Qt application");
    namespace fs = std::filesystem;
    const fs::path target(path);   // file names are UTF-8 bytes here
    const fs::path temp(platform::TempFileBeside(path));
    std::error_code ec;
    bool ok;
    {
        QPdfWriter writer(QString::fromUtf8(temp.string().c_str()));
        writer.setResolution(600);
        writer.setPageLayout(MakePageLayout(report.Page));
        writer.setTitle(Q(doc.title));
        writer.setCreator(QStringLiteral("zbr"));
        ok = DrawDocument(writer, doc);
    }
    ok = ok && fs::is_regular_file(temp, ec) && fs::file_size(temp, ec) > 0 && !ec;
    if (ok) {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
        throw ReportError("cannot write the PDF file " + path);
    }
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
    dialog.exec();
    if (paintFailed) throw ReportError("the report could not be drawn for preview or printing");
}

}  // namespace print
