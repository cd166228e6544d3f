#pragma once

#include "TNavigateBtnX.h"

#include <QtGlobal>
#include <initializer_list>

//! A set of navigator buttons stored as 32 bits: bit k stands for the button with value k.
class TButtonSet {
public:
    constexpr TButtonSet() = default;
    //! The set from its stored 32-bit value (bits beyond the last button are dropped).
    constexpr explicit TButtonSet(quint32 bits)
        : m_bits(bits & allBits()) {}
    constexpr TButtonSet(std::initializer_list<TNavigateBtnX> buttons) {
        for (TNavigateBtnX b : buttons)
            m_bits |= bit(b);
    }

    //! Every one of the buttons.
    static constexpr TButtonSet all() { return TButtonSet(allBits()); }

    //! The 32-bit value, as a form stores it.
    constexpr quint32 value() const { return m_bits; }
    constexpr bool contains(TNavigateBtnX b) const { return (m_bits & bit(b)) != 0; }
    constexpr bool isEmpty() const { return m_bits == 0; }
    //! Number of buttons in the set.
    constexpr int count() const {
        int n = 0;
        for (quint32 v = m_bits; v; v &= v - 1)
            ++n;
        return n;
    }
    constexpr TButtonSet with(TNavigateBtnX b) const { return TButtonSet(m_bits | bit(b)); }
    constexpr TButtonSet without(TNavigateBtnX b) const { return TButtonSet(m_bits & ~bit(b)); }

    constexpr bool operator==(const TButtonSet &other) const = default;

private:
    static constexpr quint32 bit(TNavigateBtnX b) { return quint32(1) << int(b); }
    static constexpr quint32 allBits() { return (quint32(1) << NavButtonCount) - 1; }
    quint32 m_bits = 0;
};
