#pragma once

// A window with its own section of the manual: F1 anywhere inside it opens that section.
class HelpTopic
{
public:
    virtual ~HelpTopic() = default;
    // The section's help context (its anchor is "context-N" in the manual).
    virtual int helpContext() const = 0;
};
