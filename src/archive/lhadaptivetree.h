// The adaptive Huffman tree of LHarc's -lh1- and -lh2- streams. Coder and
// decoder each keep one and update it after every symbol, so the codes are
// never stored; the decoder must therefore change the tree exactly as the
// coder did, down to which of two equal weights comes first.
//
// Nodes live in one array in order of weight, heaviest (the root, node 0)
// first, and two siblings are always neighbours. A node's weight grows by
// first trading places with the first node of its weight (its "block")
// and then adding one, which keeps the order without sorting. A tree made
// with StartGrowing holds only symbol 0 at first; the others join it as
// AddSymbol is called, with weight 0 until their first update.
#pragma once

#include "archive/lhbitreader.h"

#include <cstdint>
#include <vector>

class CLhAdaptiveTree
{
public:
    // nSymbols leaves, each seen once; the root's weight counts the updates.
    void StartFull(int nSymbols);
    // Symbol 0 alone, room for nSymbols; the updates are counted apart.
    void StartGrowing(int nSymbols);
    // The next symbol of a growing tree (1, 2, ... in turn). Counts as an
    // update of it.
    void AddSymbol(int nSymbol);
    int GetSymbolCount() const { return m_nSymbols; }

    // The symbol whose code the reader's next bits are. Each step leads to
    // a later node; the bound only guards against a tree gone wrong.
    int Decode(CLhBitReader &bits) const
    {
        int c = m_aChild[0];
        int nSteps = 0;
        while (c > 0) {
            // Up to 32 bits at a time: deeper codes are rare.
            std::uint32_t nWord = bits.Peek(32);
            unsigned nTaken = 0;
            for (; c > 0 && nTaken < 32; ++nTaken, nWord <<= 1) {
                if (nSteps++ == m_nNodes)
                    return -1;
                c = m_aChild[c - static_cast<int>(nWord >> 31)];
            }
            bits.Skip(nTaken);
        }
        return ~c;
    }

    void Update(int nSymbol);

private:
    int Increment(int nNode);
    void Rebuild();
    int NewBlock();

    bool m_bGrowing = false;
    int m_nSymbols = 0;  // leaves in the tree
    int m_nNodes = 0;
    std::uint32_t m_nUpdates = 0;  // of a growing tree, whose root weight is kept out of every block
    std::vector<std::uint32_t> m_aWeight;
    // >= 1: the higher-numbered of the node's two children, the other is
    // one before it; < 0: the leaf of symbol ~value.
    std::vector<int> m_aChild;
    std::vector<int> m_aParent;
    std::vector<int> m_aLeaf;    // symbol -> node
    std::vector<int> m_aBlock;   // node -> block, 0 for none (the slot after the last node too)
    std::vector<int> m_aLeader;  // block -> its first node
    std::vector<int> m_aFreeBlocks;
};
