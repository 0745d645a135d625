#pragma once

// Node classes that read and write their elements of "contents.xml" in the package's grammar
// ("branch" with a "title" child and sub-branches, "picture" with a "branch:" target,
// "comment" with a "title" child), so that the document's reader and writer can be tested
// with real trees. A PackageTestNodes object installs them in the element registry for its
// lifetime.

#include "DocumentModel/IXNodeElementRegistry.h"
#include "IXTestNodes.h"
#include "Platform/XML/PLXMLElement.h"
#include "Utilities/UTErrors.h"

#include <QString>

#include <memory>

// A reader that fails on an id of "FAIL" stands for a node whose element is unreadable.
inline bool failsOnPurpose(const PLXMLElement& element, PLError* error)
{
    if (element.attribute("uid") != QLatin1String("FAIL")) return false;
    PLSetError(error, UTErrors::errorWithFailureReason(QStringLiteral("unreadable test node")));
    return true;
}

// The title as the package's readers take it: the last "title" child, else the attribute.
inline QString titleOfElement(const PLXMLElement& element)
{
    if (const PLXMLElement title = element.lastChildElement("title")) return title.text();
    return element.attribute("title");
}

class XMLTestBranch : public TestBranch {
public:
    explicit XMLTestBranch(QString title = QString()) : m_title(std::move(title)) {}
    static std::shared_ptr<IXNode> make() { return std::make_shared<XMLTestBranch>(); }

    QString title() override { return m_title; }

    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override
    {
        if (!IXNode::initWithParent(parent, element, error) || failsOnPurpose(element, error)) return false;
        m_title = titleOfElement(element);
        for (PLXMLElement child = element.firstChildElement("branch"); child; child = child.nextSiblingElement("branch")) {
            const std::shared_ptr<IXNode> branch = IXNodeElementRegistry::makeNode("branch");
            if (!branch->initWithParent(this, child, error)) {
                branch->setParentNode(nullptr);  // never released while attached
                return false;
            }
            addChild(branch);
        }
        return true;
    }

    PLXMLElement XMLElement(PLXMLElement parent) override
    {
        PLXMLElement element = parent.addChildElement("branch");
        writeBaseXMLAttributes(element);
        if (!m_title.isEmpty()) element.addChildElement("title").setText(m_title);
        for (const auto& child : children()) child->XMLElement(element);
        return element;
    }

private:
    QString m_title;
};

class XMLTestPicture : public TestPicture {
public:
    static std::shared_ptr<IXNode> make() { return std::make_shared<XMLTestPicture>(); }

    // The target is found by id once the node is in the document, as pictures find their
    // branches: the branches are read first.
    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override
    {
        if (!IXNode::initWithParent(parent, element, error) || failsOnPurpose(element, error)) return false;
        const QString target = element.attribute("target");
        if (target.startsWith(QLatin1String("branch:")) && documentNode())
            setTarget(documentNode()->branchForId(target.mid(7)));
        return true;
    }

    PLXMLElement XMLElement(PLXMLElement parent) override
    {
        PLXMLElement element = parent.addChildElement("picture");
        writeBaseXMLAttributes(element);
        if (const auto target = floatingTargetNode()) element.setAttribute("target", QStringLiteral("branch:") + target->uniqueId());
        return element;
    }
};

class XMLTestComment : public TestComment {
public:
    static std::shared_ptr<IXNode> make() { return std::make_shared<XMLTestComment>(); }

    QString title() override { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override
    {
        if (!IXNode::initWithParent(parent, element, error) || failsOnPurpose(element, error)) return false;
        m_title = titleOfElement(element);
        return true;
    }

    PLXMLElement XMLElement(PLXMLElement parent) override
    {
        PLXMLElement element = parent.addChildElement("comment");
        writeBaseXMLAttributes(element);
        if (!m_title.isEmpty()) element.addChildElement("title").setText(m_title);
        return element;
    }

private:
    QString m_title;
};

class PackageTestNodes {
public:
    PackageTestNodes()
        : m_branch(IXNodeElementRegistry::setFactory("branch", &XMLTestBranch::make))
        , m_picture(IXNodeElementRegistry::setFactory("picture", &XMLTestPicture::make))
        , m_comment(IXNodeElementRegistry::setFactory("comment", &XMLTestComment::make))
    {
    }
    ~PackageTestNodes()
    {
        IXNodeElementRegistry::setFactory("branch", m_branch);
        IXNodeElementRegistry::setFactory("picture", m_picture);
        IXNodeElementRegistry::setFactory("comment", m_comment);
    }
    PackageTestNodes(const PackageTestNodes&) = delete;
    PackageTestNodes& operator=(const PackageTestNodes&) = delete;

private:
    IXNodeElementRegistry::Factory m_branch;
    IXNodeElementRegistry::Factory m_picture;
    IXNodeElementRegistry::Factory m_comment;
};
