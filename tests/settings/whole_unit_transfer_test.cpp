// Whole-unit read, write and verify between the main window and the simulated unit.
#include "link/frame_codec.h"
#include "settings/progressbar.h"
#include "settings/settings_file.h"
#include "settings/whole_unit_transfer.h"
#include "support/simulated_unit_form.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

using namespace kv7m;
using namespace kv7m::test;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray bytesOf(const SettingsImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

class WholeUnit : public SimulatedUnitForm {
protected:
    explicit WholeUnit(sim::LineFaults faults = {}) : SimulatedUnitForm(options(), faults)
    {
        QObject::connect(&port, &sim::SimulatedSerialPort::sentToUnit,
                         [this](const QByteArray& bytes) { requests.append(bytes); });
    }

    // Decoded requests of one command code that the program wrote.
    QList<QByteArray> requestData(int code) const
    {
        QList<QByteArray> out;
        for (const QByteArray& text : requests) {
            std::vector<std::uint8_t> frame(text.begin(), text.end());
            int length = 0;
            if (decodeReplyFrame(frame.data(), frame.size(), length) && frame[1] == code)
                out.append(QByteArray(reinterpret_cast<const char*>(frame.data() + 2), length - 3));
        }
        return out;
    }

    QList<QByteArray> requests;

    static sim::UnitOptions options()
    {
        sim::UnitOptions unitOptions;
        unitOptions.address = 5;
        return unitOptions;
    }

    QString file() const { return form->settingsFile().filePath(5); }

    // Waits for the prompt that ends an operation.
    bool waitForPrompt(qsizetype count, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return prompter.prompts.size() >= count; }, timeoutMs);
    }

    // A unit memory different from the defaults in every chunk.
    void scribbleOnUnit()
    {
        SettingsImage& memory = unit.model().memory();
        for (std::size_t i = 0; i < memory.size(); i += 97)
            memory[i] = std::uint8_t(i / 97);
    }
};

TEST_F(WholeUnit, ReadAllCopiesTheUnitMemoryIntoItsFile)
{
    scribbleOnUnit();
    prompter.answer(PromptAnswer::Yes);
    form->mmReadAllSettings->trigger();
    ASSERT_EQ(prompter.prompts.size(), 1);
    EXPECT_EQ(prompter.prompts[0], (Prompt{QStringLiteral("КВ7М"), QStringLiteral("Прочитать все настройки ТВМ?"),
                                           PromptIcon::Information, PromptButtons::YesNo}));
    EXPECT_TRUE(form->progressWindow()->isVisible());
    EXPECT_EQ(form->progressWindow()->windowTitle(), QStringLiteral("Чтение настроек ТВМ"));
    EXPECT_EQ(form->progressWindow()->ProgressBar->maximum(), 220);
    ASSERT_TRUE(waitForPrompt(2));
    EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Настройки считаны и сохранены в файл."));
    EXPECT_EQ(fileBytes(file()), bytesOf(unit.model().memory()));
    EXPECT_FALSE(form->progressWindow()->isVisible());
    EXPECT_EQ(form->progressWindow()->ProgressBar->value(), 220);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the busy cursor is gone";
    EXPECT_EQ(unit.repliesProduced(), 221);
}

TEST_F(WholeUnit, WriteAllCopiesTheFileIntoTheUnitAndVerifyAgrees)
{
    // The unit's file, changed in one byte of the last chunk.
    SettingsImage image = defaultSettingsImage();
    image[28159] = 0x42;
    ASSERT_TRUE(form->settingsFile().WriteSettingsBlock(5, 0, image.data(), image.size()));
    prompter.answer(PromptAnswer::Yes);
    form->mmWriteAllSettings->trigger();
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Записать все настройки в ТВМ?"));
    EXPECT_EQ(form->progressWindow()->windowTitle(), QStringLiteral("Запись всех настроек в ТВМ"));
    ASSERT_TRUE(waitForPrompt(2));
    EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Все настройки записаны в ТВМ."));
    EXPECT_EQ(bytesOf(unit.model().memory()), bytesOf(image));
    EXPECT_EQ(form->progressWindow()->ProgressBar->value(), 220);
    // 221 frames: index 0..219 with the image's chunks, then 220 with 128 bytes of 0xFF.
    const QList<QByteArray> chunks = requestData(86);
    ASSERT_EQ(chunks.size(), 221);
    for (int n = 0; n < 221; ++n)
        ASSERT_EQ(std::uint8_t(chunks[n][0]), n);
    EXPECT_EQ(chunks[219].mid(1), bytesOf(image).mid(219 * 128));
    EXPECT_EQ(chunks[220].mid(1), QByteArray(128, char(0xFF)));

    form->mmSignaturesAllSettings->trigger();
    ASSERT_TRUE(waitForPrompt(3));
    EXPECT_EQ(prompter.prompts[2], (Prompt{QStringLiteral("КВ7М"), QStringLiteral("Сигнатура совпадает"),
                                           PromptIcon::Information, PromptButtons::Ok}));

    // One byte of the file changed: the signatures differ.
    image[100] ^= 0x01;
    ASSERT_TRUE(form->settingsFile().WriteSettingsBlock(5, 0, image.data(), image.size()));
    form->mmSignaturesAllSettings->trigger();
    ASSERT_TRUE(waitForPrompt(4));
    EXPECT_EQ(prompter.prompts[3], (Prompt{QStringLiteral("КВ7М"), QStringLiteral("Сигнатура не совпадает"),
                                           PromptIcon::Error, PromptButtons::Ok}));
}

TEST_F(WholeUnit, VerifyWithoutAFileCreatesTheDefaultFileFirst)
{
    ASSERT_FALSE(QFile::exists(file()));
    form->mmSignaturesAllSettings->trigger();
    ASSERT_TRUE(waitForPrompt(2));
    EXPECT_TRUE(prompter.prompts[0].text.startsWith(QStringLiteral("Файл с настройками ")));
    EXPECT_EQ(fileBytes(file()), bytesOf(defaultSettingsImage()));
    // A factory-fresh unit holds the default image too.
    EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Сигнатура совпадает"));
}

TEST_F(WholeUnit, NoAnswersNothingAndAnUnreadableFileOpensNoProgress)
{
    prompter.answer(PromptAnswer::No);
    form->mmReadAllSettings->trigger();
    EXPECT_FALSE(form->progressWindow()->isVisible());
    EXPECT_FALSE(form->wholeUnitTransfer().isRunning());

    // A file too short to hold the image cannot be read: nothing is sent, no progress shows.
    QDir().mkpath(settingsPath());
    QFile shortFile(file());
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, char(0)));
    shortFile.close();
    prompter.answer(PromptAnswer::Yes);
    form->mmWriteAllSettings->trigger();
    EXPECT_FALSE(form->progressWindow()->isVisible());
    EXPECT_FALSE(form->wholeUnitTransfer().isRunning());
    EXPECT_TRUE(requests.isEmpty()) << "nothing is sent";
    EXPECT_EQ(prompter.prompts.last(),
              (Prompt{QStringLiteral("КВ7М"), QStringLiteral("Не удается прочитать файл с настройками."),
                      PromptIcon::Error, PromptButtons::Ok}));
}

sim::LineFaults silentAfterTen()
{
    sim::LineFaults faults;
    for (int n = 11; n <= 400; ++n)
        faults.dropReplies.insert(n);
    return faults;
}

class SilentUnit : public WholeUnit {
protected:
    SilentUnit() : WholeUnit(silentAfterTen()) { form->wholeUnitTransfer().setReplyTimeOutMs(300); }
};

TEST_F(SilentUnit, ReadThatStopsGettingRepliesEndsAndLeavesTheFile)
{
    const SettingsImage before = defaultSettingsImage();
    ASSERT_TRUE(form->settingsFile().WriteSettingsBlock(5, 0, before.data(), before.size()));
    scribbleOnUnit();
    prompter.answer(PromptAnswer::Yes);
    form->mmReadAllSettings->trigger();
    ASSERT_TRUE(waitForPrompt(2));
    EXPECT_EQ(prompter.prompts[1].icon, PromptIcon::Error);
    EXPECT_TRUE(prompter.prompts[1].text.startsWith(QStringLiteral("ТВМ не отвечает")));
    EXPECT_FALSE(form->progressWindow()->isVisible());
    EXPECT_FALSE(form->wholeUnitTransfer().isRunning());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(fileBytes(file()), bytesOf(before)) << "an interrupted read leaves the file as it was";
    EXPECT_EQ(form->wholeUnitTransfer().chunkIndex(), 10);

    // Late replies after the end start nothing: no request, no message, the file unchanged.
    const qsizetype sent = requests.size();
    QSignalSpy arrived(&port, &SerialPort::bytesArrived);
    for (const int index : {10, 220}) {
        QByteArray data(129, char(0x11));
        data[0] = char(index);
        unit.sendFrame(unit.model().frame(87, data));
    }
    // The window handles each arrival before the spy hears of it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.count() >= 2; }, 2000));
    EXPECT_EQ(requests.size(), sent);
    EXPECT_EQ(prompter.prompts.size(), 2);
    EXPECT_EQ(fileBytes(file()), bytesOf(before));
}

TEST_F(WholeUnit, ReplyForAnotherChunkIsNotTaken)
{
    scribbleOnUnit();
    prompter.answer(PromptAnswer::Yes);
    form->mmReadAllSettings->trigger();
    // A stray reply for the last chunk arrives while chunk 0 is awaited.
    QByteArray stray(129, char(0x22));
    stray[0] = char(219);
    unit.sendFrame(unit.model().frame(87, stray));
    ASSERT_TRUE(waitForPrompt(2));
    EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Настройки считаны и сохранены в файл."));
    EXPECT_EQ(fileBytes(file()), bytesOf(unit.model().memory())) << "every chunk as the unit holds it";
}

}  // namespace
