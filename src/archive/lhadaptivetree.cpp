#include "archive/lhadaptivetree.h"

#include <algorithm>

namespace {

// The total weight at which every weight is halved, so that old symbols
// count less and no weight overflows.
constexpr std::uint32_t LH_WEIGHT_LIMIT = 0x8000;
// The root weight of a growing tree: above every other, so the root never
// shares a block with a child.
constexpr std::uint32_t LH_ROOT_APART = 0xFFFFFFFFu;

} // namespace

int CLhAdaptiveTree::NewBlock()
{
    if (m_aFreeBlocks.empty()) {
        m_aLeader.push_back(0);
        return static_cast<int>(m_aLeader.size()) - 1;
    }
    const int b = m_aFreeBlocks.back();
    m_aFreeBlocks.pop_back();
    return b;
}

void CLhAdaptiveTree::StartFull(int nSymbols)
{
    const int n = nSymbols;
    const std::size_t nSlots = 2 * static_cast<std::size_t>(n) + 1;
    m_bGrowing = false;
    m_nSymbols = n;
    m_nNodes = 2 * n - 1;
    m_nUpdates = 0;
    m_aWeight.assign(nSlots, 0);
    m_aChild.assign(nSlots, 0);
    m_aParent.assign(nSlots, 0);
    m_aBlock.assign(nSlots, 0);
    m_aLeaf.assign(n, 0);
    m_aLeader.assign(nSlots, 0);
    m_aFreeBlocks.clear();
    for (int b = static_cast<int>(nSlots) - 1; b >= 1; --b)
        m_aFreeBlocks.push_back(b);

    // Symbol 0 last, then each pair of the lightest nodes joined above them.
    const int nLeaves = NewBlock();
    for (int i = 0; i < n; ++i) {
        const int j = 2 * n - 2 - i;
        m_aWeight[j] = 1;
        m_aChild[j] = ~i;
        m_aLeaf[i] = j;
        m_aBlock[j] = nLeaves;
    }
    m_aLeader[nLeaves] = n - 1;
    for (int j = n - 2, i = 2 * n - 2; j >= 0; --j, i -= 2) {
        m_aWeight[j] = m_aWeight[i] + m_aWeight[i - 1];
        m_aChild[j] = i;
        m_aParent[i] = m_aParent[i - 1] = j;
        if (m_aWeight[j] == m_aWeight[j + 1]) {
            m_aBlock[j] = m_aBlock[j + 1];
        } else {
            m_aBlock[j] = NewBlock();
        }
        m_aLeader[m_aBlock[j]] = j;
    }
}

void CLhAdaptiveTree::StartGrowing(int nSymbols)
{
    StartFull(nSymbols);
    m_bGrowing = true;
    m_nSymbols = 1;
    m_nNodes = 1;
    m_aFreeBlocks.clear();
    for (int b = static_cast<int>(m_aLeader.size()) - 1; b >= 1; --b)
        m_aFreeBlocks.push_back(b);
    std::fill(m_aBlock.begin(), m_aBlock.end(), 0);
    m_aWeight[0] = 1;
    m_aChild[0] = ~0;
    m_aLeaf[0] = 0;
    m_aBlock[0] = NewBlock();
    m_aLeader[m_aBlock[0]] = 0;
}

void CLhAdaptiveTree::AddSymbol(int nSymbol)
{
    if (!m_bGrowing || nSymbol != m_nSymbols || nSymbol >= static_cast<int>(m_aLeaf.size()))
        return;
    // The last node, always a leaf, becomes the parent of itself and the
    // newcomer.
    const int m = m_nNodes - 1;
    const int r = m + 1;
    const int q = m + 2;
    m_aChild[r] = m_aChild[m];
    m_aLeaf[~m_aChild[r]] = r;
    m_aChild[q] = ~nSymbol;
    m_aChild[m] = q;
    m_aWeight[r] = m_aWeight[m];
    m_aWeight[q] = 0;
    m_aBlock[r] = m_aBlock[m];
    if (m == 0) {
        m_aWeight[0] = LH_ROOT_APART;
        ++m_aLeader[m_aBlock[0]];
        m_aBlock[0] = 0;
    }
    m_aParent[r] = m_aParent[q] = m;
    m_aBlock[q] = NewBlock();
    m_aLeader[m_aBlock[q]] = q;
    m_aLeaf[nSymbol] = q;
    m_nNodes += 2;
    ++m_nSymbols;
    Update(nSymbol);
}

void CLhAdaptiveTree::Update(int nSymbol)
{
    if (nSymbol < 0 || nSymbol >= m_nSymbols)
        return;
    if (m_bGrowing) {
        if (m_nUpdates == LH_WEIGHT_LIMIT) {
            Rebuild();
            m_nUpdates = m_aWeight[0];
            if (m_nNodes > 1)
                m_aWeight[0] = LH_ROOT_APART;
        }
        // Symbol 0 alone is the root: its weight counts its uses, and
        // passes to its leaf when the tree first grows.
        if (m_nNodes == 1)
            ++m_aWeight[0];
        for (int q = m_aLeaf[nSymbol]; q != 0;)
            q = Increment(q);
        ++m_nUpdates;
        return;
    }
    if (m_aWeight[0] == LH_WEIGHT_LIMIT)
        Rebuild();
    ++m_aWeight[0];
    for (int q = m_aLeaf[nSymbol]; q != 0;)
        q = Increment(q);
}

// Adds one to the weight of node p (not the root) and returns the parent
// whose weight is to grow next.
int CLhAdaptiveTree::Increment(int p)
{
    const int b = m_aBlock[p];
    const int q = m_aLeader[b];
    const bool bShared = q != p || m_aBlock[p + 1] == b;
    if (q != p) {
        // Trade places with the block's first node, taking the subtrees
        // along, so that p leaves the block from its front.
        const int r = m_aChild[p];
        const int s = m_aChild[q];
        m_aChild[p] = s;
        m_aChild[q] = r;
        if (r >= 0)
            m_aParent[r] = m_aParent[r - 1] = q;
        else
            m_aLeaf[~r] = q;
        if (s >= 0)
            m_aParent[s] = m_aParent[s - 1] = p;
        else
            m_aLeaf[~s] = p;
        p = q;
    }
    if (bShared) {
        ++m_aLeader[b];
        if (++m_aWeight[p] == m_aWeight[p - 1]) {
            m_aBlock[p] = m_aBlock[p - 1];
        } else {
            m_aBlock[p] = NewBlock();
            m_aLeader[m_aBlock[p]] = p;
        }
    } else if (++m_aWeight[p] == m_aWeight[p - 1]) {
        m_aFreeBlocks.push_back(b);
        m_aBlock[p] = m_aBlock[p - 1];
    }
    return m_aParent[p];
}

// Halves every weight and builds the tree again from its leaves, ordered
// as they were: a joined pair goes before the leaves of its own weight.
void CLhAdaptiveTree::Rebuild()
{
    const int n = m_nNodes;
    int j = 0;
    for (int i = 0; i < n; ++i) {
        if (m_aChild[i] < 0) {
            m_aWeight[j] = (m_aWeight[i] + 1) / 2;
            m_aChild[j] = m_aChild[i];
            ++j;
        }
    }
    if (j > 1) {
        --j;  // the lightest leaf not yet placed
        int i = n - 1;  // the next place, from the end
        for (int l = n - 2; i >= 0; l -= 2) {
            while (i >= l) {
                m_aWeight[i] = m_aWeight[j];
                m_aChild[i] = m_aChild[j];
                --i;
                --j;
            }
            const std::uint32_t f = m_aWeight[l] + m_aWeight[l + 1];
            int k = 0;
            while (k <= j && f < m_aWeight[k])
                ++k;
            while (j >= k) {
                m_aWeight[i] = m_aWeight[j];
                m_aChild[i] = m_aChild[j];
                --i;
                --j;
            }
            m_aWeight[i] = f;
            m_aChild[i] = l + 1;
            --i;
        }
    }
    m_aFreeBlocks.clear();
    for (int b = static_cast<int>(m_aLeader.size()) - 1; b >= 1; --b)
        m_aFreeBlocks.push_back(b);
    for (int i = 0; i < n; ++i) {
        const int c = m_aChild[i];
        if (c < 0)
            m_aLeaf[~c] = i;
        else
            m_aParent[c] = m_aParent[c - 1] = i;
        if (i > 0 && m_aWeight[i] == m_aWeight[i - 1]) {
            m_aBlock[i] = m_aBlock[i - 1];
        } else {
            m_aBlock[i] = NewBlock();
            m_aLeader[m_aBlock[i]] = i;
        }
    }
}
