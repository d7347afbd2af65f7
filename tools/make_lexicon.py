#!/usr/bin/env python3
"""Writes the game's word lists: lex/agrp0..32, lex/ngrp0..32, lex/vgrp0..22.

Usage (from anywhere, as root the first time so the word sources can be
installed with apt-get):

    python3 tools/make_lexicon.py            # writes lex/ beside tools/
    python3 tools/make_lexicon.py --report   # also prints what each screen removed
    python3 tools/make_lexicon.py --report --full   # ...listing every removed word

Commonness is SCOWL level 40 (SCOWL_LEVEL below); the most common words of
each family are kept, then the family is shuffled with a fixed seed and cut
into files of 200 words, so every file mixes lengths and initials.

Sources, all Debian packages that the script installs when they are missing:
  wordnet-base                   parts of speech, senses, usage domains, irregular forms
  scowl                          commonness levels and US spelling
  link-grammar-dictionaries-en   count vs mass nouns, real plurals, verb tenses

The output depends only on those files and on this script: inputs are read
in sorted order and the shuffle is seeded, so two runs write identical bytes.
Words to keep out of a family game go in tools/lexicon_banned.txt.
"""

import hashlib
import os
import re
import subprocess
import sys

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
REPO_DIR = os.path.dirname(TOOLS_DIR)
LEX_DIR = os.path.join(REPO_DIR, "lex")
BAN_FILE = os.path.join(TOOLS_DIR, "lexicon_banned.txt")

WORDNET_DIR = "/usr/share/wordnet"
SCOWL_DIR = "/usr/share/dict/scowl"
LINK_GRAMMAR_DIR = "/usr/share/link-grammar/en"
PACKAGES = ["wordnet-base", "scowl", "link-grammar-dictionaries-en"]

# Commonness: SCOWL levels up to this one. 35 leaves too few adjectives,
# 50 brings words few players know.
SCOWL_LEVEL = 40
SCOWL_LEVELS = [10, 20, 35, 40, 50, 55, 60, 70, 80, 95]

SHUFFLE_SEED = 0x4B6F616C61  # fixed, so the files come out the same every run

# family: (file prefix, files, words in the last file, shortest, longest)
FAMILIES = {
    "adjectives": ("agrp", 33, 154, 3, 13),
    "nouns": ("ngrp", 33, 132, 3, 12),
    "verbs": ("vgrp", 23, 72, 3, 12),
}
WORDS_PER_FILE = 200

# WordNet usage domains whose words never appear, whatever their other senses.
OFFENSIVE_DOMAINS = {
    "07124340": "obscenity",
    "06718862": "ethnic slur",
    "06717170": "disparagement",
}
# Innocent words that WordNet also lists with an offensive sense; their
# everyday sense is what a player thinks of first.
OFFENSIVE_ALLOWED = {
    "boy", "boys", "queen", "queens", "fairy", "fairies", "spade", "spades",
    "chicken", "chickens", "cookie", "cookies", "cracker", "crackers",
    "monkey", "monkeys", "pig", "pigs", "puppy", "puppies", "pup", "pups",
    "sister", "sisters", "brother", "brothers", "mother", "mothers",
    "cat", "cats", "kitten", "kittens", "bean", "beans", "potato", "potatoes",
    "bird", "birds", "duck", "ducks", "lamb", "lambs", "goose", "geese",
    "sweet", "baby", "babies", "doll", "dolls", "peach", "peaches",
    "honey", "cowboy", "cowboys", "buster", "buddy", "pal", "pals",
    "apple", "apples", "banana", "bananas", "coconut", "coconuts",
    "toad", "toads", "turkey", "turkeys", "mouse", "mice", "rabbit",
    "rabbits", "yellow", "red", "white", "black", "brown", "green",
    "orange", "oranges", "cheese", "cheeses", "noodle", "noodles",
    "tiger", "tigers", "bear", "bears", "bunny", "bunnies", "pumpkin",
    "pumpkins", "bug", "bugs", "button", "buttons", "sport", "sports",
    "hound", "hounds", "goat", "goats", "mule", "mules", "wolf", "wolves",
    "fox", "foxes", "lion", "lions", "beaver", "beavers", "clam", "clams",
    "mate", "mates", "kid", "kids", "chief", "chiefs", "squirrel",
    "squirrels", "nut", "nuts", "shark", "sharks", "snake", "snakes",
    "bull", "bulls", "dirt", "sob", "sobbed", "sobs", "suit", "suits",
    "taco", "tacos", "throwaway", "throwaways", "tool", "tools", "tooled",
    "screw", "screws", "shaft", "shafts",
}

# Senses dropped: the word stays only if it has another sense left.
DROPPED_USAGE_DOMAINS = {
    "07157273": "slang",
    "07159467": "slang",
    "07073447": "archaism",
    "07155661": "dialect",
    "07156497": "regionalism",
    "06845599": "trade name",
    "06851742": "trademark",
    "06336537": "street name",
    "06295235": "plural form",
    "06307152": "combining form",
    "06322693": "comparative",
    "06693870": "superlative",
    "07091902": "acronym",
    "07091587": "abbreviation",
    "06605046": "euphemism",
    "06947658": "vernacular",
}
DROPPED_REGION_DOMAINS = {
    "08860123": "United Kingdom",
    "08871007": "England",
    "08890097": "Scotland",
    "08894456": "Wales",
    "08887841": "Northern Ireland",
    "08859173": "Ireland",
    "08888676": "Ireland",
    "08831004": "Australia",
    "09211266": "Australia",
}

# Most common sense of a word: glosses that mark sexual or excretory terms.
GLOSS_SCREEN = re.compile(
    r"\b(sexual|sexually|sexy|genital|genitals|genitalia|penis|vagina|vulva|"
    r"clitoris|testicle|testicles|scrotum|anus|anal|rectum|buttock|buttocks|"
    r"nipple|nipples|pubic|crotch|groin|excrement|excrete|"
    r"excreted|excreting|excretion|excretory|feces|faeces|fecal|faecal|dung|"
    r"urine|urinate|urinating|urination|defecate|defecation|bowel|bowels|"
    r"copulate|copulation|coitus|intercourse|erotic|erotically|obscene|"
    r"obscenely|masturbat\w*|prostitut\w*|orgasm\w*|semen|sperm|ejaculat\w*|"
    r"menstrua\w*|flatulen\w*|flatus|vomit|vomiting|porn\w*|lewd|lewdly|brothel|"
    r"homosexual\w*|lesbian\w*|bisexual\w*|lust|lustful|seduce|seduction|"
    r"adulter\w*|fornicat\w*|incest\w*|rape|raped|rapist|mucus|snot|"
    r"phlegm|pus|nude|nudity|undress\w*|fart|farting|belch\w*|"
    r"drunken|intoxicat\w*|narcotic\w*|cocaine|heroin|marijuana|"
    r"cannabis|opium|hallucinogen\w*|"
    r"offensive|vulgar|disparaging|derogatory|contemptuous|contemptuously)\b",
    re.IGNORECASE,
)

# Most common sense of a word: glosses on the topics a family table does
# without (violence, death, weapons, disease, drugs, crime, cruelty).
TOPIC_GLOSS_SCREEN = re.compile(
    r"\b(kill|kills|killed|killing|murder\w*|slaughter\w*|massacre\w*|"
    r"assassinat\w*|execution|behead\w*|decapitat\w*|strangl\w*|"
    r"suffocat\w*|asphyxia\w*|drown|drowned|drowning|death|deaths|died|"
    r"dying|corpse\w*|funeral\w*|burial|suicide\w*|bleed\w*|wound|wounds|"
    r"wounded|injur\w*|maim\w*|mutilat\w*|tortur\w*|violence|violent|"
    r"brutal\w*|cruel\w*|weapon\w*|gun|guns|firearm\w*|pistol\w*|bomb\w*|"
    r"explosives?|ammunition|bullet\w*|stab|stabbed|stabbing|warfare|"
    r"combat\w*|disease\w*|tumor\w*|cancer\w*|plague\w*|drug|drugs|"
    r"addict\w*|alcohol\w*|liquor|narcotic\w*|tobacco|cigarette\w*|"
    r"gambl\w*|crime\w*|criminal\w*|steal|stealing|stolen|theft|thief|"
    r"thieves|robbery|fraud\w*|swindl\w*|prison\w*|jail\w*|rape|abuse\w*|"
    r"abusive|hatred|hate|hateful|insult\w*|contempt\w*|humiliat\w*|"
    r"malice|malicious|evil|wicked\w*|sinful|satan\w*|devil\w*|demon\w*|"
    r"hell|damn\w*|racial|racist\w*|slave\w*|terror\w*|assault\w*|"
    r"poison\w*|toxic|vomit\w*|disgust\w*|rotten|insane|insanity|"
    r"psychiatric|idiot\w*|stupid\w*|obese|ugly|deformed|crippl\w*|"
    r"handicap\w*|heretic\w*|heathen\w*|blasphem\w*|infidel\w*)\b",
    re.IGNORECASE,
)

# Nouns whose most common sense falls under one of these stays out: the
# topics a family table does without. Given as (lemma, sense number).
TOPIC_ROOTS = [
    ("weapon", 1), ("weaponry", 1), ("explosive", 1), ("bomb", 1),
    ("ammunition", 1), ("firearm", 1), ("gun", 1),
    ("disease", 1), ("illness", 1), ("ill_health", 1), ("symptom", 1),
    ("pathology", 2), ("infection", 1), ("injury", 1), ("wound", 1),
    ("death", 1), ("death", 2), ("death", 3), ("killing", 1), ("killing", 2),
    ("murder", 1), ("suicide", 1), ("corpse", 1), ("cadaver", 1),
    ("drug_of_abuse", 1), ("narcotic", 1), ("hard_drug", 1),
    ("alcohol", 1), ("intoxicant", 1), ("liquor", 1),
    ("crime", 1), ("criminal", 1), ("wrongdoer", 1), ("bad_person", 1),
    ("violence", 1), ("attack", 1), ("war", 1), ("military_action", 1),
    ("battle", 1), ("conflict", 1),
    ("torture", 1), ("execution", 1), ("punishment", 1),
    ("sexual_activity", 1), ("sex_activity", 1), ("sex_organ", 1),
    ("reproductive_organ", 1), ("body_waste", 1), ("excretion", 1),
    ("disorder", 1), ("abnormality", 2),
    ("sick_person", 1), ("deity", 1), ("religious_person", 1),
    ("cleric", 1), ("religion", 1), ("religion", 2), ("sect", 1),
    ("spiritual_leader", 1), ("sin", 1), ("sin", 2), ("evil", 1),
    ("evildoer", 1), ("racist", 1), ("extremist", 1),
    ("political_orientation", 1), ("bigot", 1), ("slave", 1),
    ("enemy", 1), ("enemy", 2), ("coffin", 1), ("gravestone", 1), ("grave", 1),
    ("poison", 1), ("toxin", 1), ("parasite", 1), ("pest", 1), ("vermin", 1),
    ("microorganism", 1), ("virus", 1), ("insult", 1), ("curse", 1),
    ("obscenity", 2), ("swearing", 1), ("scandal", 1), ("disaster", 1),
    ("catastrophe", 1), ("calamity", 1),
    ("prisoner", 1), ("prison", 1),
    ("gambling", 1), ("gambler", 1), ("tobacco", 1), ("cigarette", 1),
    ("cigar", 1), ("smoker", 1), ("drinker", 1), ("addict", 1),
    ("undergarment", 1), ("underpants", 1), ("brassiere", 1),
]

# Everyday words whose first WordNet sense happens to fall under one of the
# topics above or to match the gloss screen.
SCREEN_ALLOWED = {
    "rounds", "shells", "canisters", "charges", "forays", "volleys",
    "charmers", "decoys", "figureheads", "imitators", "mimics", "piranhas",
    "rakes", "rips", "runners", "pirates", "encounters", "engagements",
    "defenses", "boomerangs", "darts", "slugs", "firecrackers",
    "blockbusters", "bumps", "scratches", "wrenches", "bites",
    "nightgowns", "nighties", "petticoats", "pests", "bacteria", "microbes",
    "hermits", "novices", "shepherds", "primates", "cardinals", "nymphs",
    "founders", "kinks", "stings", "auras", "throbs", "twitches",
    "galls", "warbles", "raffles", "tosses", "plungers", "slings",
    "stingers", "vintages", "brews", "survivors", "underdogs", "castaways",
    "drifters", "duds", "jinxes", "maroons", "quarries", "patients",
    "clown", "clowns", "clowned", "spores", "geese", "robins", "larks",
    "demonstrate", "demonstrated", "demonstrative", "bulletproof", "bulletins",
    "benign", "catching", "chiseled", "coiled", "cured", "delicate",
    "graceful", "guiltless", "healed", "healthy", "honest", "honorable",
    "immortal", "innocent", "innocuous", "interactive", "keen", "orderly",
    "penetrating", "piercing", "preventive", "protected", "provable",
    "recovered", "reformed", "resistant", "shielded", "washable",
    "nonviolent", "foamy", "incisive", "sober", "immunized", "vaccinated",
    "tenured", "extinct", "crazy", "frantic", "furious", "fierce",
    "ferocious", "scary", "gone", "fired", "smoked", "shelled", "struck",
    "torn", "limp", "mortified", "dreadful", "terrible", "frightening",
    "chilling", "sheepish", "blustering", "tempestuous", "raging",
    "rampant", "splitting", "ripping", "sarcastic", "seated", "sitting",
    "continent", "luscious", "naughty", "filthy", "foul", "nasty", "yucky",
    "hideous", "outrageous", "meddling", "meddlesome", "officious",
    "interfering", "repelling", "revolting", "housebroken", "consummate",
    "fearsome", "frenetic", "frothing", "damaged", "distorted", "bogus",
    "fake", "phony", "dud", "blasting", "bruising", "unscathed", "undying",
}

# Used more often as adverbs, but good adjectives all the same.
DIRECTION_ADJECTIVES = {
    "backward", "forward", "upstream", "downstream", "northward",
    "southward", "westward", "clockwise", "lengthwise", "inside",
    "bareback", "backstage",
}

TOKEN = re.compile(r"^[a-z]+$")


def install_sources():
    """Installs the Debian packages that hold the word sources, if missing."""
    needed = {
        "wordnet-base": os.path.join(WORDNET_DIR, "data.noun"),
        "scowl": os.path.join(SCOWL_DIR, "english-words.10"),
        "link-grammar-dictionaries-en": os.path.join(LINK_GRAMMAR_DIR, "4.0.dict"),
    }
    missing = [pkg for pkg in PACKAGES if not os.path.exists(needed[pkg])]
    if not missing:
        return
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(["apt-get", "update", "-qq"], check=True, env=env)
    subprocess.run(["apt-get", "install", "-y", "-qq"] + missing, check=True, env=env)


def stable_hash(word):
    """Deterministic tie-break between words of equal commonness."""
    return hashlib.sha1(word.encode("ascii")).hexdigest()


class SplitMix64:
    """Small seeded generator: the same seed gives the same shuffle everywhere."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & 0xFFFFFFFFFFFFFFFF
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & 0xFFFFFFFFFFFFFFFF
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & 0xFFFFFFFFFFFFFFFF
        return z ^ (z >> 31)

    def below(self, bound):
        limit = (1 << 64) - ((1 << 64) % bound)
        while True:
            value = self.next()
            if value < limit:
                return value % bound


def shuffle_words(words, seed):
    rng = SplitMix64(seed)
    words = list(words)
    for i in range(len(words) - 1, 0, -1):
        j = rng.below(i + 1)
        words[i], words[j] = words[j], words[i]
    return words


# ---------------------------------------------------------------- SCOWL

def load_scowl():
    """word -> lowest SCOWL level at which it is listed (US spelling)."""
    levels = {}
    for level in SCOWL_LEVELS:
        for kind in ("english-words", "american-words"):
            path = os.path.join(SCOWL_DIR, "%s.%d" % (kind, level))
            if not os.path.exists(path):
                continue
            with open(path, encoding="latin-1") as handle:
                for line in handle:
                    word = line.strip()
                    if TOKEN.match(word) and word not in levels:
                        levels[word] = level
    return levels


# ---------------------------------------------------------------- link grammar

def load_link_grammar():
    """Returns (tags, plural nouns, count nouns, mass nouns)."""
    tags = {}
    plurals, count_nouns, mass_nouns = set(), set(), set()
    tagged = re.compile(r"(?<![\w.'-])([a-z]+)\.([a-z]+(?:-[a-z]+)?)(?![\w'-])")

    def note(word, tag):
        tags.setdefault(word, set()).add(tag)

    words_dir = os.path.join(LINK_GRAMMAR_DIR, "words")
    for name in sorted(os.listdir(words_dir)):
        with open(os.path.join(words_dir, name), encoding="utf-8") as handle:
            text = re.sub(r"%[^\n]*", "", handle.read())
        for token in text.split():
            match = re.match(r"^([a-z]+)(?:\.([a-z]+(?:-[a-z]+)?))?$", token)
            if not match:
                continue
            word, tag = match.group(1), match.group(2) or ""
            note(word, tag)
            if name.startswith("words.n.2."):
                plurals.add(word)
            elif name.startswith("words.n.1-"):
                count_nouns.add(word)
            elif name.startswith("words.n.3"):
                mass_nouns.add(word)
    with open(os.path.join(LINK_GRAMMAR_DIR, "4.0.dict"), encoding="utf-8") as handle:
        text = re.sub(r"%[^\n]*", "", handle.read())
    for match in tagged.finditer(text):
        note(match.group(1), match.group(2))
    return tags, plurals, count_nouns, mass_nouns


# ---------------------------------------------------------------- WordNet

POS_FILES = {"n": "noun", "v": "verb", "a": "adj", "r": "adv"}


def load_wordnet_data(pos):
    """offset -> synset dict for one part of speech."""
    synsets = {}
    with open(os.path.join(WORDNET_DIR, "data." + POS_FILES[pos]), encoding="utf-8") as handle:
        for line in handle:
            if line.startswith("  "):
                continue
            head, _, gloss = line.partition(" | ")
            fields = head.split()
            offset, lexfile, ss_type = fields[0], int(fields[1]), fields[2]
            count = int(fields[3], 16)
            words = []
            at = 4
            for _ in range(count):
                lemma = re.sub(r"\([a-z]+\)$", "", fields[at])
                words.append(lemma)
                at += 2
            pointer_count = int(fields[at])
            at += 1
            pointers = []
            for _ in range(pointer_count):
                symbol, target, target_pos, source_target = fields[at:at + 4]
                pointers.append((symbol, target, target_pos,
                                 int(source_target[:2], 16), int(source_target[2:], 16)))
                at += 4
            frames = []
            if pos == "v" and at < len(fields):
                frame_count = int(fields[at])
                at += 1
                for _ in range(frame_count):
                    frames.append((int(fields[at + 1]), int(fields[at + 2], 16)))
                    at += 3
            synsets[offset] = {
                "lexfile": lexfile,
                "type": ss_type,
                "words": words,
                "pointers": pointers,
                "frames": frames,
                "gloss": gloss.strip(),
            }
    return synsets


def load_wordnet_index(pos):
    """lemma -> synset offsets, most common sense first."""
    index = {}
    with open(os.path.join(WORDNET_DIR, "index." + POS_FILES[pos]), encoding="utf-8") as handle:
        for line in handle:
            if line.startswith("  "):
                continue
            fields = line.split()
            lemma = fields[0]
            synset_count = int(fields[2])
            index[lemma] = fields[-synset_count:]
    return index


def load_sense_counts():
    """(lemma, pos) -> tagged-text frequency summed over its senses."""
    ss_pos = {"1": "n", "2": "v", "3": "a", "4": "r", "5": "a"}
    counts = {}
    with open(os.path.join(WORDNET_DIR, "cntlist.rev"), encoding="utf-8") as handle:
        for line in handle:
            key, _, tag_count = line.split()
            lemma, _, rest = key.partition("%")
            pos = ss_pos[rest[0]]
            counts[(lemma, pos)] = counts.get((lemma, pos), 0) + int(tag_count)
    return counts


def load_exceptions(pos):
    """base -> inflected forms, from WordNet's exception list."""
    forms = {}
    with open(os.path.join(WORDNET_DIR, POS_FILES[pos] + ".exc"), encoding="utf-8") as handle:
        for line in handle:
            fields = line.split()
            for base in fields[1:]:
                forms.setdefault(base, []).append(fields[0])
    return forms


class WordNet:
    def __init__(self):
        self.data = {pos: load_wordnet_data(pos) for pos in POS_FILES}
        self.index = {pos: load_wordnet_index(pos) for pos in POS_FILES}
        self.counts = load_sense_counts()
        self.domain_members = self._collect_domain_members()

    def _collect_domain_members(self):
        """(pos, offset, word number or 0) -> set of domain offsets."""
        members = {}
        for pos, synsets in self.data.items():
            for offset, synset in synsets.items():
                for symbol, target, target_pos, source, member in synset["pointers"]:
                    if symbol in (";u", ";r"):
                        members.setdefault((pos, offset, source), set()).add(target)
                    elif symbol in ("-u", "-r"):
                        members.setdefault((target_pos, target, member), set()).add(offset)
        return members

    def domains_of(self, pos, offset, lemma):
        synset = self.data[pos][offset]
        number = 0
        for i, word in enumerate(synset["words"]):
            if word.lower() == lemma:
                number = i + 1
                break
        found = set(self.domains_direct(pos, offset, 0))
        if number:
            found |= self.domains_direct(pos, offset, number)
        return found

    def domains_direct(self, pos, offset, number):
        return self.domain_members.get((pos, offset, number), set())

    def senses(self, pos, lemma):
        """Synset offsets of a lower-case lemma, most common first."""
        return self.index[pos].get(lemma, [])

    def lemma_in_synset_lowercase(self, pos, offset, lemma):
        return lemma in self.data[pos][offset]["words"]

    def frequency(self, lemma, pos):
        return self.counts.get((lemma, pos), 0)

    def hypernym_closure(self, offset, limit=30):
        seen, frontier = set(), [offset]
        while frontier and limit:
            limit -= 1
            next_frontier = []
            for current in frontier:
                for symbol, target, _, _, _ in self.data["n"][current]["pointers"]:
                    if symbol in ("@", "@i") and target not in seen:
                        seen.add(target)
                        next_frontier.append(target)
            frontier = next_frontier
        return seen


# ---------------------------------------------------------------- screens

class Screens:
    """Decides which words a family game keeps, and counts what it removed."""

    def __init__(self, wordnet, banned):
        self.wordnet = wordnet
        self.banned = banned
        self.removed = {}
        self.topic_roots = set()
        for lemma, number in TOPIC_ROOTS:
            senses = wordnet.senses("n", lemma)
            if len(senses) >= number:
                self.topic_roots.add(senses[number - 1])

    def note(self, screen, word):
        self.removed.setdefault(screen, set()).add(word)

    def sense_dropped(self, pos, offset, lemma):
        """Slang, archaic, dialect, trade-name, UK-only and similar senses."""
        wordnet = self.wordnet
        if wordnet.domains_of(pos, offset, lemma) & set(DROPPED_USAGE_DOMAINS):
            return True
        words = wordnet.data[pos][offset]["words"]
        number = words.index(lemma) + 1
        if wordnet.domains_direct(pos, offset, number) & set(DROPPED_REGION_DOMAINS):
            return True
        # a region named for a whole synset is taken to describe its head word
        # (burly stays, though its synset also holds a Scots word)
        return number == 1 and bool(
            wordnet.domains_direct(pos, offset, 0) & set(DROPPED_REGION_DOMAINS))

    def kept_senses(self, pos, lemma):
        """Senses of a lower-case lemma that are not slang, archaic, UK-only..."""
        kept, dropped = [], []
        for offset in self.wordnet.senses(pos, lemma):
            if not self.wordnet.lemma_in_synset_lowercase(pos, offset, lemma):
                continue  # the sense is a capitalized name
            if self.sense_dropped(pos, offset, lemma):
                dropped.append(offset)
                continue
            kept.append(offset)
        if dropped and not kept:
            self.note("only slang, archaic, dialect, trade-name or UK senses (%s)"
                      % POS_FILES[pos], lemma)
        return kept

    def is_offensive_anywhere(self, lemma):
        """True when any sense of the word, in any part of speech, is offensive."""
        for pos in POS_FILES:
            for offset in self.wordnet.senses(pos, lemma):
                if self.wordnet.domains_of(pos, offset, lemma) & set(OFFENSIVE_DOMAINS):
                    return True
        return False

    def most_common_sense(self, pos, lemma):
        """The first sense in which the word is written in lower case."""
        for offset in self.wordnet.senses(pos, lemma):
            if self.wordnet.lemma_in_synset_lowercase(pos, offset, lemma):
                return offset
        return None

    def gloss_flagged(self, lemma, family_pos):
        """True when the word's most common sense is sexual or excretory: the
        first sense of the family's part of speech, and of any other part of
        speech in which the word is used more often."""
        own_count = self.wordnet.frequency(lemma, family_pos)
        for pos in POS_FILES:
            if pos != family_pos and self.wordnet.frequency(lemma, pos) <= own_count:
                continue
            first = self.most_common_sense(pos, lemma)
            if first is None:
                continue
            # the definition only, not the example sentences after it
            definition = self.wordnet.data[pos][first]["gloss"].split('; "')[0]
            match = GLOSS_SCREEN.search(definition)
            if match:
                self.last_gloss_match = match.group(0).lower()
                return True
        return False

    def topic_gloss_flagged(self, lemma, family_pos):
        first = self.most_common_sense(family_pos, lemma)
        if first is None:
            return False
        definition = self.wordnet.data[family_pos][first]["gloss"].split('; "')[0]
        match = TOPIC_GLOSS_SCREEN.search(definition)
        if match:
            self.last_gloss_match = match.group(0).lower()
            return True
        return False

    def topic_flagged(self, lemma):
        first = self.most_common_sense("n", lemma)
        if first is None:
            return False
        return first in self.topic_roots or bool(
            self.wordnet.hypernym_closure(first) & self.topic_roots)

    def keeps(self, family, lemma, form):
        """Every screen a candidate passes before it may be drawn."""
        if form in self.banned:
            self.note("ban list", form)
            return False
        if form not in SCREEN_ALLOWED and (
                GLOSS_SCREEN.fullmatch(form) or TOPIC_GLOSS_SCREEN.fullmatch(form)):
            self.note("word is itself a screened term", form)
            return False
        if (self.is_offensive_anywhere(lemma) or self.is_offensive_anywhere(form)) \
                and form not in OFFENSIVE_ALLOWED:
            self.note("offensive usage domain", form)
            return False
        family_pos = {"adjectives": "a", "nouns": "n", "verbs": "v"}[family]
        if form in SCREEN_ALLOWED:
            return True
        if self.gloss_flagged(lemma, family_pos):
            self.note("gloss of most common sense", form)
            self.note("gloss term " + self.last_gloss_match, form)
            return False
        if family == "nouns" and self.topic_flagged(lemma):
            self.note("topic of most common sense", form)
            return False
        if self.topic_gloss_flagged(lemma, family_pos):
            self.note("topic in gloss of most common sense", form)
            self.note("topic term " + self.last_gloss_match, form)
            return False
        return True


# ---------------------------------------------------------------- candidates

def fits(word, shortest, longest):
    return TOKEN.match(word) and shortest <= len(word) <= longest


def adjective_candidates(wordnet, screens, scowl, link_tags):
    """(rank key, word) for every usable adjective."""
    comparatives = set()
    for forms in load_exceptions("a").values():
        comparatives.update(forms)
    shortest, longest = FAMILIES["adjectives"][3:]
    found = {}
    for lemma in sorted(wordnet.index["a"]):
        if not fits(lemma, shortest, longest) or lemma not in scowl:
            continue
        if lemma in comparatives and lemma not in ("modest",):
            screens.note("comparative or superlative", lemma)
            continue
        if not screens.kept_senses("a", lemma):
            continue
        if lemma not in DIRECTION_ADJECTIVES and "a" not in link_tags.get(lemma, ()) and (
                "" in link_tags.get(lemma, ())
                or wordnet.frequency(lemma, "r") > wordnet.frequency(lemma, "a")):
            screens.note("adverb or determiner rather than adjective", lemma)
            continue
        if not screens.keeps("adjectives", lemma, lemma):
            continue
        found[lemma] = (scowl[lemma], -wordnet.frequency(lemma, "a"), stable_hash(lemma))
    # crunchy, nerdy: adjectives that link grammar knows and WordNet lacks
    known_to_wordnet = set()
    for pos in POS_FILES:
        known_to_wordnet.update(wordnet.index[pos])
    for word in sorted(link_tags):
        if "a" not in link_tags[word] or word in found or word in known_to_wordnet:
            continue
        if fits(word, shortest, longest) and word in scowl and screens.keeps("adjectives", word, word):
            found[word] = (scowl[word], 0, stable_hash(word))
    return found


def plural_forms(lemma, exceptions):
    """Plural spellings a noun may take, irregular ones first."""
    forms = list(exceptions.get(lemma, []))
    if re.search(r"(s|x|z|ch|sh)$", lemma):
        forms.append(lemma + "es")
    elif re.search(r"[^aeiou]y$", lemma):
        forms.append(lemma[:-1] + "ies")
    elif lemma.endswith("o"):
        forms += [lemma + "s", lemma + "es"]
    else:
        forms.append(lemma + "s")
    if lemma.endswith("f"):
        forms.append(lemma[:-1] + "ves")
    elif lemma.endswith("fe"):
        forms.append(lemma[:-2] + "ves")
    return forms


def noun_candidates(wordnet, screens, scowl, plurals):
    exceptions = load_exceptions("n")
    shortest, longest = FAMILIES["nouns"][3:]
    found = {}
    for lemma in sorted(wordnet.index["n"]):
        if not TOKEN.match(lemma) or lemma not in scowl:
            continue
        senses = screens.kept_senses("n", lemma)
        if not senses:
            # binoculars, pliers: nouns used only in the plural
            plural_only = [offset for offset in wordnet.senses("n", lemma)
                           if wordnet.lemma_in_synset_lowercase("n", offset, lemma)
                           and "06295235" in wordnet.domains_of("n", offset, lemma)]
            if plural_only and lemma in plurals and fits(lemma, shortest, longest) \
                    and lemma not in found and screens.keeps("nouns", lemma, lemma):
                found[lemma] = (scowl[lemma], -wordnet.frequency(lemma, "n"), stable_hash(lemma))
            continue
        options = []
        for form in plural_forms(lemma, exceptions):
            if form == lemma:
                continue
            if form in scowl and scowl[form] <= SCOWL_LEVEL and form in plurals:
                options.append(form)
        animal = wordnet.data["n"][senses[0]]["lexfile"] == 5
        if animal and lemma in plurals and not options:
            options.append(lemma)  # sheep, deer: the same word for many
        if not options:
            continue
        options.sort(key=lambda form: (scowl[form], form != lemma + "s", form))
        plural = options[0]
        if not fits(plural, shortest, longest):
            continue
        if plural in found:
            continue
        if not screens.keeps("nouns", lemma, plural):
            continue
        level = max(scowl[lemma], scowl[plural])
        found[plural] = (level, -wordnet.frequency(lemma, "n"), stable_hash(plural))
    return found


INTRANSITIVE_FRAMES = {1, 2, 22}
PARTICIPLE_ONLY = {"done", "gone", "been", "lain", "borne", "born"}


def is_intransitive(wordnet, offset, lemma):
    synset = wordnet.data["v"][offset]
    number = synset["words"].index(lemma) + 1
    return any(frame in INTRANSITIVE_FRAMES and word in (0, number)
               for frame, word in synset["frames"])


def looks_like_participle(form, base, others):
    if form in PARTICIPLE_ONLY or re.search(r"(en|wn|rn)$", form) and not base.endswith(("en", "wn", "rn")):
        return True
    # sing: sang is the past, sung the participle
    if "u" in form and any(other != form and other.replace("a", "u", 1) == form for other in others):
        return True
    return False


def regular_pasts(base, verbs):
    """+ed spellings for a base, the likely one first."""
    if base.endswith("e"):
        return [base + "d"]
    if re.search(r"[^aeiou]y$", base):
        return [base[:-1] + "ied"]
    plain = base + "ed"
    doubled = base + base[-1] + "ed"
    if re.search(r"[^aeiou][aeiou][bdfgklmnprstvz]$", base):
        # fin: fined belongs to fine; plan: planed belongs to plane
        if (base + "e") in verbs:
            return [doubled, plain]
        return [plain, doubled]
    return [plain]


def past_form(base, exceptions, verbs, scowl, link_tags):
    pasts = [form for form in exceptions.get(base, [])
             if not form.endswith("ing") and not form.endswith("s")]
    irregular = [form for form in pasts
                 if form not in regular_pasts(base, verbs)
                 and not looks_like_participle(form, base, pasts)]
    regular = [form for form in regular_pasts(base, verbs) if form in scowl]
    regular += [form for form in pasts if form in regular_pasts(base, verbs) and form not in regular]

    def usable(form):
        return (form in scowl and scowl[form] <= SCOWL_LEVEL
                and link_tags.get(form, set()) & {"v-d", "q-d"})

    irregular = [form for form in irregular if usable(form)]
    regular = [form for form in regular if usable(form)]
    # burnt, dreamt, learnt: US English writes burned, dreamed, learned
    irregular_t = [form for form in irregular if form.endswith("t") and not base.endswith("t")]
    if regular and (not irregular or irregular == irregular_t):
        return regular[0]
    if irregular:
        irregular.sort(key=lambda form: (scowl[form], form))
        return irregular[0]
    return None


def verb_candidates(wordnet, screens, scowl, link_tags):
    exceptions = load_exceptions("v")
    verbs = set(lemma for lemma in wordnet.index["v"] if TOKEN.match(lemma))
    shortest, longest = FAMILIES["verbs"][3:]
    found = {}
    for base in sorted(verbs):
        if base in ("be",) or base not in scowl:
            continue
        senses = screens.kept_senses("v", base)
        if not senses:
            continue
        if not any(is_intransitive(wordnet, offset, base) for offset in senses):
            continue
        forms = []
        if link_tags.get(base, set()) & {"v", "q"}:
            forms.append(base)
        past = past_form(base, exceptions, verbs, scowl, link_tags)
        if past:
            forms.append(past)
        for form in forms:
            if not fits(form, shortest, longest) or scowl[form] > SCOWL_LEVEL:
                continue
            if form in found:
                continue
            if not screens.keeps("verbs", base, form):
                continue
            level = max(scowl[base], scowl[form])
            found[form] = (level, -wordnet.frequency(base, "v"), stable_hash(form))
    return found


# ---------------------------------------------------------------- output

def needed_words(family):
    _, files, last_count, _, _ = FAMILIES[family]
    return (files - 1) * WORDS_PER_FILE + last_count


def choose(found, family):
    """The most common words first, as many as the family's files hold."""
    ranked = sorted((key, word) for word, key in found.items() if key[0] <= SCOWL_LEVEL)
    need = needed_words(family)
    if len(ranked) < need:
        sys.exit("%s: only %d words, %d needed" % (family, len(ranked), need))
    return [word for _, word in ranked[:need]]


def write_family(family, words, seed):
    prefix, files, last_count, _, _ = FAMILIES[family]
    shuffled = shuffle_words(sorted(words), seed)
    os.makedirs(LEX_DIR, exist_ok=True)
    at = 0
    for number in range(files):
        count = last_count if number == files - 1 else WORDS_PER_FILE
        chunk = shuffled[at:at + count]
        at += count
        with open(os.path.join(LEX_DIR, "%s%d" % (prefix, number)), "w",
                  encoding="ascii", newline="\n") as handle:
            handle.write("".join(word + "\n" for word in chunk))


def load_banned():
    banned = set()
    with open(BAN_FILE, encoding="utf-8") as handle:
        for line in handle:
            word = line.split("#", 1)[0].strip().lower()
            if word:
                banned.add(word)
    return banned


def main():
    report = "--report" in sys.argv[1:]
    install_sources()
    scowl = load_scowl()
    link_tags, plurals, _, _ = load_link_grammar()
    wordnet = WordNet()
    screens = Screens(wordnet, load_banned())
    found = {
        "adjectives": adjective_candidates(wordnet, screens, scowl, link_tags),
        "nouns": noun_candidates(wordnet, screens, scowl, plurals),
        "verbs": verb_candidates(wordnet, screens, scowl, link_tags),
    }
    if report:
        print_report(screens, scowl)
    chosen = {family: choose(found[family], family) for family in found}
    for offset, family in enumerate(sorted(chosen)):
        write_family(family, chosen[family], SHUFFLE_SEED + offset)
        print("%s: %d words" % (family, len(chosen[family])))


def print_report(screens, scowl):
    for screen in sorted(screens.removed):
        words = sorted(screens.removed[screen])
        common = [w for w in words if scowl.get(w, 99) <= SCOWL_LEVEL]
        print("%s: %d removed (%d common), e.g. %s" % (
            screen, len(words), len(common), " ".join(common[:25])))
        if "--full" in sys.argv[1:]:
            print("   ALL: " + " ".join(common))


if __name__ == "__main__":
    main()
