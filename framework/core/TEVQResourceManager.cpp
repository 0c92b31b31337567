#include "TEVQResourceManager.h"

#include <QSvgRenderer>

namespace TEVQtLib {

TEVQResourceManagerImpl::TEVQResourceManagerImpl() = default;
TEVQResourceManagerImpl::~TEVQResourceManagerImpl() = default;
bool TEVQResourceManagerImpl::addFile(const QByteArray&, const QByteArray&) { return false; }
const QByteArray* TEVQResourceManagerImpl::file(const QByteArray&) const { return nullptr; }
void TEVQResourceManagerImpl::fileFillStyle(const QString&, const FillStyle&) {}
void TEVQResourceManagerImpl::fileTextStyle(const QString&, const TextStyleDesc&) {}
int TEVQResourceManagerImpl::fillStylePosition(const QString&) const { return -1; }
int TEVQResourceManagerImpl::textStylePosition(const QString&) const { return -1; }
void TEVQResourceManagerImpl::buildElementIndex() {}

TEVQResourceManager* TEVQResourceManager::getInstance()
{
    static TEVQResourceManager instance;
    return &instance;
}
TEVQResourceManager::TEVQResourceManager() : m_defaultStore(new TEVQResourceManagerImpl) {}
TEVQResourceManager::~TEVQResourceManager() = default;
int TEVQResourceManager::getButtonFadeDuration() const { return 150; }
QString TEVQResourceManager::getSkinDirPath() const { return {}; }
QString TEVQResourceManager::getFileSkinPath() const { return {}; }
QString TEVQResourceManager::getThemePath() const { return {}; }
const std::vector<FillStyle>& TEVQResourceManager::getFillStyles() const { return m_defaultStore->fillStyles; }
const std::vector<TextStyleDesc>& TEVQResourceManager::getTextStyles() const { return m_defaultStore->textStyles; }
bool TEVQResourceManager::getFillStyle(const QString&, FillStyle&) const { return false; }
bool TEVQResourceManager::getTextStyle(const QString&, TextStyleDesc&) const { return false; }
void TEVQResourceManager::setFillStyle(const QString&, FillStyle&) {}
void TEVQResourceManager::setTextStyle(const QString&, TextStyleDesc&) {}
void TEVQResourceManager::setFillStyle(TEVQResourceManagerImpl*, const QString&, FillStyle&) {}
void TEVQResourceManager::setTextStyle(TEVQResourceManagerImpl*, const QString&, TextStyleDesc&) {}
bool TEVQResourceManager::readStyle(TEVQResourceManagerImpl*, const Json::Value&) { return true; }
bool TEVQResourceManager::writeStyle(TEVQResourceManagerImpl*, Json::Value&) { return false; }
QString TEVQResourceManager::toProjectStyleString() { return {}; }
QString TEVQResourceManager::toProjectStyleString(QString& out) { return out = toProjectStyleString(); }
bool TEVQResourceManager::getResource(const QString&, const char*&, unsigned&, ResSourceType&) { return false; }
QImage* TEVQResourceManager::getImage(const QString&, bool) { return nullptr; }
QSvgRenderer* TEVQResourceManager::getSvgRenderer(const QString&) { return nullptr; }
Json::Value* TEVQResourceManager::getThemeJsonValue(const char*) { return nullptr; }
QString TEVQResourceManager::getString(const QString&) const { return {}; }
QString TEVQResourceManager::getCurrentLanguage() const { return {}; }
QStringList TEVQResourceManager::getLanguageList() const { return {}; }
bool TEVQResourceManager::setCurrentLanguage(const QString&) { return false; }
bool TEVQResourceManager::loadThemeDir(const QString&) { return false; }
bool TEVQResourceManager::loadThemeFile(const QString&) { return false; }
bool TEVQResourceManager::loadSkinFile(const QString&) { return false; }
bool TEVQResourceManager::loadSkinFile(const char*, int) { return false; }
bool TEVQResourceManager::setSkinDirPath(const QString&) { return false; }
bool TEVQResourceManager::setProjectDirPath(const QString&) { return false; }
void TEVQResourceManager::initDefaultStyleRes() {}
void TEVQResourceManager::initDefaultImageRes() {}
void TEVQResourceManager::initFontRes(bool) {}
bool TEVQResourceManager::readLanguage(const QByteArray&) { return false; }
void TEVQResourceManager::setGlobalConfig(const TEVGlobalConfig&) {}
void TEVQResourceManager::setGlobalFontFamily(const QString&) {}
bool TEVQResourceManager::registerWindowWidget(QWidget*) { return false; }
bool TEVQResourceManager::unregisterWindowWidget(QWidget*) { return false; }
bool TEVQResourceManager::registerDesignerWindowWidget(QWidget*) { return false; }
bool TEVQResourceManager::unregisterDesignerWindowWidget(QWidget*) { return false; }
QList<QWidget*> TEVQResourceManager::registeredWindows() const { return {}; }
QList<QWidget*> TEVQResourceManager::registeredDesignerWindows() const { return {}; }
bool TEVQResourceManager::themeChange() { return true; }
void TEVQResourceManager::releaseRes() {}
void TEVQResourceManager::notifyThemeChange(QWidget*) {}
void TEVQResourceManager::notifyChangeLanguage(QWidget*) {}
TEVQResourceManagerImpl* TEVQResourceManager::styleStore() const { return m_defaultStore.get(); }
bool TEVQResourceManager::readStyleText(TEVQResourceManagerImpl*, const QByteArray&) { return false; }
void TEVQResourceManager::languageChanged() {}

} // namespace TEVQtLib
