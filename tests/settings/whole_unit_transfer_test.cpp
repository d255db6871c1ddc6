// Whole-unit read, write and verify between the main window and the simulated unit.
#include "settings/progressbar.h"
#include "settings/settings_file.h"
#include "settings/whole_unit_transfer.h"
#include "support/simulated_unit_form.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QProgressBar>
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
    explicit WholeUnit(sim::LineFaults faults = {}) : SimulatedUnitForm(options(), faults) {}

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
    ASSERT_TRUE(waitForPrompt(2));
    EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Все настройки записаны в ТВМ."));
    EXPECT_EQ(bytesOf(unit.model().memory()), bytesOf(image));
    EXPECT_EQ(unit.repliesProduced(), 221) << "chunks 0..219 and the closing 220";

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
    const int replies = unit.repliesProduced();
    form->mmWriteAllSettings->trigger();
    EXPECT_FALSE(form->progressWindow()->isVisible());
    EXPECT_FALSE(form->wholeUnitTransfer().isRunning());
    EXPECT_EQ(unit.repliesProduced(), replies);
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
}

}  // namespace
