// The main menu's picture: the JPEG in forms/, its decoding with libjpeg, and the
// picture box that shows it over the yellow panel.

#include "platform/JpegImage.h"
#include "platform/TImage.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

QByteArray mainMenuPicture() {
    QFile file(QFINDTESTDATA("../forms/MainMenu.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

int segmentLength(const QByteArray& jpeg, qsizetype marker) {
    return (uchar(jpeg[marker + 2]) << 8) | uchar(jpeg[marker + 3]);
}

// Where the entropy-coded data of the first scan begins.
qsizetype scanDataStart(const QByteArray& jpeg) {
    const qsizetype startOfScan = jpeg.indexOf("\xFF\xDA");
    return startOfScan + 2 + segmentLength(jpeg, startOfScan);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A solid-coloured picture made with libjpeg's compressor, for the layouts the main
// menu's picture does not use. CMYK samples are given inverted, as Adobe writes them.
QByteArray solidJpeg(J_COLOR_SPACE input, J_COLOR_SPACE stored, const std::vector<JSAMPLE>& pixel,
                     bool progressive = false) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 24;
    info.image_height = 16;
    info.input_components = static_cast<int>(pixel.size());
    info.in_color_space = input;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, stored);
    jpeg_set_quality(&info, 100, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row;
    for (JDIMENSION x = 0; x < info.image_width; ++x)
        row.insert(row.end(), pixel.begin(), pixel.end());
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    const QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

bool closeTo(QRgb actual, QRgb expected, int tolerance) {
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

// The yellow panel of the main menu with the picture box where the form puts it.
struct MenuPanel {
    static constexpr QRect boxGeometry{144, 56, 617, 569};
    QWidget panel;
    TImage* box;

    MenuPanel()
        : box(new TImage(&panel)) {
        panel.resize(800, 640);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::yellow);
        panel.setPalette(palette);
        panel.setAutoFillBackground(true);
        box->setGeometry(boxGeometry);
    }
    QImage grab() { return panel.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

bool allYellow(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 0))
                return false;
    return true;
}

} // namespace

class PictureTest : public QObject {
    Q_OBJECT

private slots:
    // The picture as kept in the source tree.
    void pictureIsBaselineJfifWithColourProfile();
    void decodesPictureWithItsColours();
    void decodesLikeQtsOwnReader();

    // Other JPEG layouts.
    void decodesOtherLayouts_data();
    void decodesOtherLayouts();

    // Damage never crashes and never gives a half picture.
    void damagedDataGivesNullImage_data();
    void damagedDataGivesNullImage();
    void flippedScanBytesGiveNullOrWholeImage();

    // The picture box.
    void boxShowsPictureUnscaledAtItsTopLeftClipped();
    void boxWithoutUsablePictureStaysTransparent_data();
    void boxWithoutUsablePictureStaysTransparent();
    void boxReadsPictureAtFirstPaint();
    void boxDoesNotRetryFailedPictureUntilSetAgain();
};

void PictureTest::pictureIsBaselineJfifWithColourProfile() {
    const QByteArray jpeg = mainMenuPicture();
    QVERIFY(jpeg.startsWith("\xFF\xD8"));
    QVERIFY(jpeg.size() < 150 * 1024);
    bool jfif = false;
    QByteArray profileColourSpace;
    QByteArray frame;
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const uchar marker = uchar(jpeg[at + 1]);
        const QByteArray payload = jpeg.mid(at + 4, segmentLength(jpeg, at) - 2);
        if (marker == 0xE0 && payload.startsWith(QByteArray("JFIF\0", 5)))
            jfif = true;
        else if (marker == 0xE2 && payload.startsWith(QByteArray("ICC_PROFILE\0", 12)))
            profileColourSpace = payload.mid(14 + 16, 4); // after the chunk number and count
        else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                 marker != 0xCC)
            frame = char(marker) + payload;
        else if (marker == 0xDA)
            break;
        at += 2 + segmentLength(jpeg, at);
    }
    QVERIFY(jfif);
    QCOMPARE(profileColourSpace, QByteArray("RGB "));
    QCOMPARE(frame.size(), 1 + 6 + 3 * 3);
    QCOMPARE(uchar(frame[0]), uchar(0xC0)); // baseline
    QCOMPARE(int(frame[1]), 8);             // bits per sample
    QCOMPARE((uchar(frame[2]) << 8) | uchar(frame[3]), 569);
    QCOMPARE((uchar(frame[4]) << 8) | uchar(frame[5]), 800);
    QCOMPARE(int(frame[6]), 3);
}

void PictureTest::decodesPictureWithItsColours() {
    const QImage image = decodeJpeg(mainMenuPicture());
    QCOMPARE(image.size(), QSize(800, 569));
    QVERIFY(image.format() == QImage::Format_RGB888 || image.format() == QImage::Format_RGB32);

    const QRgb sheet = image.pixel(400, 260);
    QVERIFY2(qRed(sheet) > 220 && qGreen(sheet) > 210 && qBlue(sheet) > 190, "cream sheet");
    const QRgb pin = image.pixel(397, 171);
    QVERIFY2(qRed(pin) > 170 && qGreen(pin) < 110 && qBlue(pin) < 110, "red pin");
    const QRgb sky = image.pixel(120, 60);
    QVERIFY2(qBlue(sky) > qRed(sky) + 25 && qGreen(sky) > qRed(sky), "blue sky");
    const QRgb cactus = image.pixel(572, 300);
    QVERIFY2(qGreen(cactus) > qRed(cactus) + 40 && qGreen(cactus) > qBlue(cactus) + 40, "cactus");
    const QRgb desk = image.pixel(400, 545);
    QVERIFY2(qRed(desk) > qGreen(desk) && qGreen(desk) > qBlue(desk) && qRed(desk) < 200, "desk");
}

void PictureTest::decodesLikeQtsOwnReader() {
    if (!QImageReader::supportedImageFormats().contains("jpeg"))
        QSKIP("Qt's JPEG reader is not installed");
    const QByteArray jpeg = mainMenuPicture();
    const QImage ours = decodeJpeg(jpeg);
    const QImage qts = QImage::fromData(jpeg, "JPEG");
    QCOMPARE(ours.size(), qts.size());
    for (int y = 0; y < ours.height(); y += 7)
        for (int x = 0; x < ours.width(); x += 5)
            if (!closeTo(ours.pixel(x, y), qts.pixel(x, y), 2))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3 against %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(ours.pixel(x, y), 6, 16)
                                     .arg(qts.pixel(x, y), 6, 16)));
}

void PictureTest::decodesOtherLayouts_data() {
    QTest::addColumn<QByteArray>("jpeg");
    QTest::addColumn<QRgb>("colour");

    QTest::newRow("colour") << solidJpeg(JCS_RGB, JCS_YCbCr, {200, 40, 90}) << qRgb(200, 40, 90);
    QTest::newRow("colour, progressive")
        << solidJpeg(JCS_RGB, JCS_YCbCr, {30, 160, 220}, true) << qRgb(30, 160, 220);
    QTest::newRow("colour stored as RGB")
        << solidJpeg(JCS_RGB, JCS_RGB, {10, 120, 250}) << qRgb(10, 120, 250);
    QTest::newRow("grayscale") << solidJpeg(JCS_GRAYSCALE, JCS_GRAYSCALE, {77}) << qRgb(77, 77, 77);
    // Inverted: no cyan, full magenta and yellow, no black.
    QTest::newRow("CMYK") << solidJpeg(JCS_CMYK, JCS_CMYK, {255, 0, 0, 255}) << qRgb(255, 0, 0);
    // Half black darkens every channel.
    QTest::newRow("YCCK") << solidJpeg(JCS_CMYK, JCS_YCCK, {255, 255, 0, 128}) << qRgb(128, 128, 0);
}

void PictureTest::decodesOtherLayouts() {
    QFETCH(QByteArray, jpeg);
    QFETCH(QRgb, colour);
    const QImage image = decodeJpeg(jpeg);
    QCOMPARE(image.size(), QSize(24, 16));
    for (const QPoint& at : {QPoint(0, 0), QPoint(23, 0), QPoint(12, 8), QPoint(23, 15)})
        QVERIFY2(closeTo(image.pixel(at), colour, 3),
                 qPrintable(QString::number(image.pixel(at), 16)));
}

void PictureTest::damagedDataGivesNullImage_data() {
    QTest::addColumn<QByteArray>("data");
    const QByteArray jpeg = mainMenuPicture();
    const qsizetype scan = scanDataStart(jpeg);

    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator random(20240601);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(16, 16, QImage::Format_RGB32).save(&buffer, "PNG");
    QByteArray zeroWidth = jpeg;
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    zeroWidth[frame + 7] = zeroWidth[frame + 8] = 0;
    QByteArray huge = jpeg; // 65000 x 65000 pixels: refused before any allocation
    huge[frame + 5] = huge[frame + 7] = char(0xFD);
    huge[frame + 6] = huge[frame + 8] = char(0xE8);

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("random bytes") << noise;
    QTest::newRow("start marker, then random bytes") << QByteArray("\xFF\xD8", 2) + noise;
    QTest::newRow("start marker only") << jpeg.left(2);
    QTest::newRow("headers only") << jpeg.left(scan);
    QTest::newRow("a quarter of the scan") << jpeg.left(scan + (jpeg.size() - scan) / 4);
    QTest::newRow("half the scan") << jpeg.left(scan + (jpeg.size() - scan) / 2);
    QTest::newRow("all but the last bytes of the scan") << jpeg.left(jpeg.size() - 20);
    QTest::newRow("no end marker") << jpeg.left(jpeg.size() - 2);
    QTest::newRow("frame of zero width") << zeroWidth;
    QTest::newRow("frame of 65000 x 65000") << huge;
    QTest::newRow("PNG") << png;
}

void PictureTest::damagedDataGivesNullImage() {
    QFETCH(QByteArray, data);
    QVERIFY(decodeJpeg(data).isNull());
}

// A changed byte of entropy-coded data is damage when libjpeg notices it (a bad code, a
// premature end of the segment); libjpeg resynchronises on some changes without a
// warning, and then the picture decodes whole with some wrong pixels.
void PictureTest::flippedScanBytesGiveNullOrWholeImage() {
    const QByteArray jpeg = mainMenuPicture();
    const qsizetype scan = scanDataStart(jpeg);
    int refused = 0;
    for (int step = 1; step < 40; ++step) {
        QByteArray damaged = jpeg;
        const qsizetype at = scan + (jpeg.size() - 2 - scan) * step / 40;
        damaged[at] = char(uchar(damaged[at]) ^ 0x55);
        const QImage image = decodeJpeg(damaged);
        if (image.isNull())
            ++refused;
        else
            QCOMPARE(image.size(), QSize(800, 569));
    }
    QVERIFY(refused > 0);
}

void PictureTest::boxShowsPictureUnscaledAtItsTopLeftClipped() {
    MenuPanel menu;
    menu.box->setPicture(QFINDTESTDATA("../forms/MainMenu.jpg"));
    const QImage picture = decodeJpeg(mainMenuPicture());
    const QImage shown = menu.grab();

    const QRect box = MenuPanel::boxGeometry;
    QCOMPARE(shown.copy(box), picture.copy(0, 0, 617, 569).convertToFormat(QImage::Format_RGB32));
    QCOMPARE(shown.pixel(box.topLeft()), picture.pixel(0, 0));
    QCOMPARE(shown.pixel(box.right(), box.top() + 300), picture.pixel(616, 300));
    QVERIFY(allYellow(shown, QRect(box.right() + 1, box.top(), 800 - box.right() - 1, 569)));
    QVERIFY(allYellow(shown, QRect(0, box.bottom() + 1, 800, 640 - box.bottom() - 1)));
    QCOMPARE(menu.box->image(), picture);
}

void PictureTest::boxWithoutUsablePictureStaysTransparent_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");

    const QByteArray jpeg = mainMenuPicture();
    QTest::newRow("no picture set") << QString() << QByteArray();
    QTest::newRow("missing file") << QStringLiteral("missing/MainMenu.jpg") << QByteArray();
    QTest::newRow("empty file") << QStringLiteral("MainMenu.jpg") << QByteArray("");
    QTest::newRow("truncated") << QStringLiteral("MainMenu.jpg") << jpeg.left(jpeg.size() / 2);
    QTest::newRow("not a JPEG") << QStringLiteral("MainMenu.jpg") << QByteArray("Penvoro\r\n");
}

void PictureTest::boxWithoutUsablePictureStaysTransparent() {
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    MenuPanel menu;
    if (!name.isEmpty()) {
        if (!contents.isNull())
            QVERIFY(writeFile(folder.filePath(name), contents));
        menu.box->setPicture(folder.filePath(name));
    }
    QVERIFY(allYellow(menu.grab(), QRect(0, 0, 800, 640)));
    QVERIFY(menu.box->image().isNull());
}

void PictureTest::boxReadsPictureAtFirstPaint() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("picture.jpg"));
    MenuPanel menu;
    // Set the way a form description sets it; the file appears only afterwards.
    QVERIFY(menu.box->setProperty("picture", path));
    QCOMPARE(menu.box->picture(), path);
    QVERIFY(writeFile(path, mainMenuPicture()));

    const QImage shown = menu.grab();
    const QImage picture = decodeJpeg(mainMenuPicture());
    QCOMPARE(shown.pixel(MenuPanel::boxGeometry.topLeft()), picture.pixel(0, 0));
    QVERIFY(QFile::remove(path));
    QCOMPARE(menu.grab(), shown);
}

void PictureTest::boxDoesNotRetryFailedPictureUntilSetAgain() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("picture.jpg"));
    const QByteArray jpeg = mainMenuPicture();
    QVERIFY(writeFile(path, jpeg.left(jpeg.size() - 2)));
    MenuPanel menu;
    menu.box->setPicture(path);
    QVERIFY(allYellow(menu.grab(), QRect(0, 0, 800, 640)));

    QVERIFY(writeFile(path, jpeg));
    QVERIFY(allYellow(menu.grab(), QRect(0, 0, 800, 640)));
    QVERIFY(menu.box->image().isNull());

    menu.box->setPicture(path);
    QCOMPARE(menu.grab().pixel(MenuPanel::boxGeometry.topLeft()), decodeJpeg(jpeg).pixel(0, 0));
}

QTEST_MAIN(PictureTest)
#include "tst_picture.moc"
